#include "till_checks.h"

#include <chrono>

#include "convert_article_file.h"
#include "loader_settings.h"
#include "loader_settings.h"
#include "control_inspection.h"
#include "driver_run.h"
#include "driver_settings.h"
#include "file_locations.h"
#include "host_system_name.h"
#include "loader_failure.h"
#include "tcp_connection.h"

namespace zelko {

namespace {

using Access = HostServices::WriteAccess;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

Finding HostFinding(const HostServices& host) {
  const std::string name = HostSystemName(host);
  return {"host", true,
          "sistema " + (name.empty() ? std::string("senza nome (come Windows 8 e successivi)") : Quoted(name)) +
              "; titolo dei messaggi " + Quoted(DriverTitle()),
          {}};
}

std::string AccessText(Access access) {
  switch (access) {
    case Access::Replace:
      return "scrivibile";
    case Access::InPlace:
      return "scrivibile sul posto (la cartella non accetta file nuovi)";
    case Access::Create:
      return "assente, si puo' creare";
    case Access::None:
      break;
  }
  return "NON scrivibile da questo utente";
}

// A file that a run or its caller writes, and how this user can.
struct FileAccess {
  std::string role;
  std::string path;
  Access access;
};

Finding FilesFinding(const HostServices& host, const FileLocations& files) {
  const FileAccess all[] = {{"scontrino", files.commandFilePath, host.ProbeWrite(files.commandFilePath)},
                            {"esito", files.resultFilePath, host.ProbeWrite(files.resultFilePath)},
                            {"dati", files.dataFilePath, host.ProbeWrite(files.dataFilePath)}};
  Finding finding{"files", true, {}, {}};
  for (const FileAccess& file : all) {
    if (!finding.text.empty()) finding.text += "; ";
    finding.text += file.role + " " + file.path + " " + AccessText(file.access);
    if (file.access != Access::None) continue;
    finding.ok = false;
    finding.remedy += (finding.remedy.empty() ? "" : "; ") + std::string("come amministratore: type nul > ") +
                      file.path + " e icacls " + file.path + " /grant *S-1-5-11:M";
  }
  for (const std::string& problem :
       VirtualizationProblems({files.commandFilePath, files.resultFilePath, files.dataFilePath})) {
    finding.ok = false;
    finding.text += "; " + problem;
    if (finding.remedy.empty()) finding.remedy = "eliminare le copie virtuali indicate";
  }
  return finding;
}

Finding SettingsFinding(const SettingsStore& store) {
  Finding finding{"settings", true, {}, {}};
  for (const char* key : {kKeyGestioneErrori, kKeyMessaggio, kKeyControlloTransazione}) {
    const SettingValue value = store.Read(key);
    if (!finding.text.empty()) finding.text += ", ";
    finding.text += std::string(key) + "=";
    if (value.state == SettingValue::State::Present) finding.text += Quoted(value.value);
    if (value.state == SettingValue::State::Absent) finding.text += "(assente: la prima esecuzione lo crea)";
    if (value.state == SettingValue::State::Unreadable) {
      finding.text += "(illeggibile)";
      finding.ok = false;
    }
  }
  if (store.CanWrite()) {
    finding.text += "; scrivibili";
  } else {
    finding.ok = false;
    finding.text += "; NON scrivibili";
  }
  if (!finding.ok) finding.remedy = "controllare i diritti dell'utente sulle impostazioni (JQT SPA, ZELKO)";
  return finding;
}

Finding LockFinding(const HostServices& host, const std::string& commandFile) {
  bool held = false;
  if (host.TryLockForRun(commandFile, held)) return {"lock", true, "nessuna esecuzione in corso su " + commandFile, {}};
  if (held) {
    return {"lock", false, "un'esecuzione di ZelkoDriver, PLUZELKO o ZelkoService e' in corso su " + commandFile,
            "attendere la fine dell'esecuzione e ripetere il controllo"};
  }
  return {"lock", false, "il blocco delle esecuzioni su " + commandFile + " non si puo' avere",
          "le esecuzioni andrebbero senza blocco: controllare i diritti dell'utente"};
}

Finding LoaderFinding(const HostServices& host) {
  const std::string folder = host.OwnFolder();
  if (!host.IsOrdinaryFile(folder + "\\PLUZELKO.exe") && !host.IsOrdinaryFile(folder + "\\PLUZELKO")) {
    return {"loader", true, "PLUZELKO non si trova in " + folder + ": nulla da controllare", {}};
  }
  const std::string recordFile = "C:\\ZELKOPLU.TXT";
  try {
    LoaderSettings settings = SettingsFromCommandLine("");
    RequireConfigFile(host);
    ReadConfigFile(host, ConfigFilePath(host), settings);
    Finding finding{"loader", true,
                    "config.cmd: porta " + PortLine(settings) + ", velocita' " + SpeedLine(settings) + "; " +
                        recordFile + " " + AccessText(host.ProbeWrite(recordFile)),
                    {}};
    return finding;
  } catch (const LoaderFailure& failure) {
    return {"loader", false, ConfigFilePath(host) + ": " + failure.description + " (PLUZELKO termina con " +
                                 std::to_string(failure.number) + ")",
            "mettere accanto a PLUZELKO un config.cmd leggibile (righe port=, baud=, parity=, databit=, stopbit=)"};
  }
}

Finding ControlFinding(const DriverEnvironment& environment, const ControlSelection& controls) {
  const ControlChoice& choice = environment.control;
  Finding finding{"control", true, "controllo del registratore: " + controls.Description(), {}};
  if (choice.kind == ControlChoice::Kind::Absent) {
    finding.ok = false;
    finding.remedy = "togliere ZELKO_CONTROL, o dargli emulator o tcp:<host>:<porta>";
  } else if (choice.kind == ControlChoice::Kind::Tcp) {
    const auto deadline = TcpConnection::Clock::now() + environment.controlTimeout;
    if (ConnectTcp(choice.host, choice.port, deadline)) {
      finding.text += ", che accetta la connessione";
    } else {
      finding.ok = false;
      finding.text += ", che NON accetta la connessione";
      finding.remedy = "avviare il registratore (o ZelkoEmulator) a quell'indirizzo, o correggere ZELKO_CONTROL";
    }
  }
  return finding;
}

}  // namespace

std::vector<Finding> CheckTill(const Till& till) {
  const FileLocations files = LocateFiles(HostSystemName(till.host), till.host);
  std::vector<Finding> findings = {HostFinding(till.host),  FilesFinding(till.host, files),
                                   SettingsFinding(till.store), LockFinding(till.host, files.commandFilePath),
                                   LoaderFinding(till.host), ControlFinding(till.environment, till.controls)};
  if (till.environment.control.kind == ControlChoice::Kind::HostDefault) {
    const std::vector<Finding> control = InspectRegisterControl();
    for (const Finding& finding : control) {
      if (!finding.ok) findings.back().ok = false;
    }
    findings.insert(findings.end(), control.begin(), control.end());
  }
  return findings;
}

}  // namespace zelko
