#include "control_inspection.h"

#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <cwchar>
#include <optional>

#include "activex_class_registry.h"
#include "activex_event_sink.h"
#include "activex_server_file.h"
#include "activex_text.h"
#include "activex_type_info.h"
#include "activex_type_library_check.h"
#include "activex_zelko_form.h"
#include "win32_error_text.h"

namespace zelko {

namespace {

#ifdef _WIN64
constexpr wchar_t kTypeLibraryPlatform[] = L"win64";
constexpr int kProcessBits = 64;
#else
constexpr wchar_t kTypeLibraryPlatform[] = L"win32";
constexpr int kProcessBits = 32;
#endif

constexpr char kRegister[] =
    "Registrare il controllo del produttore da un prompt dei comandi come amministratore: regsvr32 JQTZelko.ocx "
    "(su Windows a 64 bit: C:\\Windows\\SysWOW64\\regsvr32 JQTZelko.ocx).";
constexpr char kRegisterAgain[] =
    "Registrare di nuovo il controllo dalla cartella dove si trova, da un prompt dei comandi come amministratore: "
    "regsvr32 JQTZelko.ocx.";

Finding Passed(const char* id, std::string text) { return {id, true, std::move(text), {}}; }
Finding Failed(const char* id, std::string text, std::string remedy) {
  return {id, false, std::move(text), std::move(remedy)};
}

// --- the class and its server ----------------------------------------------------

Finding ClassFinding(const std::wstring& clsid) {
  std::string text = "ProgID " + WideToBytes(kRegisterControlProgId) + " registrato: CLSID " + WideToBytes(clsid);
  if (const auto description = ClassesText(L"CLSID\\" + clsid)) text += " \"" + WideToBytes(*description) + "\"";
  return Passed("control.progid", text);
}

// The server file; empty, with the failure in `findings`, when there is none.
std::wstring ServerFile(const std::wstring& clsid, std::vector<Finding>& findings) {
  const std::wstring key = L"CLSID\\" + clsid;
  const auto registered = ClassesText(key + L"\\InprocServer32");
  if (!registered || registered->empty()) {
    const bool outside = ClassesText(key + L"\\LocalServer32").has_value();
    findings.push_back(Failed("control.server",
                              "La classe " + WideToBytes(clsid) + " non ha un server in-process (InprocServer32)" +
                                  (outside ? ", solo un programma esterno (LocalServer32)" : ""),
                              kRegisterAgain));
    return {};
  }
  const std::wstring path = LocateServerFile(*registered);
  if (path.empty()) {
    findings.push_back(Failed("control.server", "Il file del controllo registrato manca: " + WideToBytes(*registered),
                              "Reinstallare il controllo in " + WideToBytes(*registered) +
                                  ", o registrarlo di nuovo dalla cartella dove si trova ora, da un prompt dei "
                                  "comandi come amministratore: regsvr32 JQTZelko.ocx."));
    return {};
  }
  findings.push_back(Passed("control.server", "File del controllo (InprocServer32): " + WideToBytes(path)));
  return path;
}

Finding LoadFinding(const std::wstring& path) {
  const std::string file = WideToBytes(path);
  const std::string process = "questo processo a " + std::to_string(kProcessBits) + " bit";
  const ServerLoad load = CheckServerLoad(path);
  switch (load.outcome) {
    case ServerLoad::Outcome::kLoaded:
      return Passed("control.load", file + " si carica in " + process);
    case ServerLoad::Outcome::kOtherProcessor:
      return Failed("control.load", file + " e' per " + load.detail + ": " + process + " non puo' caricarlo",
                    "Installare e registrare la versione a 32 bit del controllo (su Windows a 64 bit con "
                    "C:\\Windows\\SysWOW64\\regsvr32).");
    case ServerLoad::Outcome::kMissingDependency:
      return Failed("control.load",
                    file + " non si carica in " + process + ": manca " + load.detail + ", richiesta da " +
                        load.neededBy,
                    "Installare " + load.detail +
                        " (con il pacchetto di installazione del controllo o il runtime che la contiene) nella "
                        "cartella del controllo o in quella di sistema.");
    case ServerLoad::Outcome::kFailed:
      break;
  }
  return Failed("control.load", file + " non si carica in " + process + ": " + load.detail,
                "Reinstallare il controllo; se l'errore resta, chiedere al produttore del registratore.");
}

Finding ThreadingFinding(const std::wstring& clsid) {
  const std::wstring model = ClassesText(L"CLSID\\" + clsid + L"\\InprocServer32", L"ThreadingModel").value_or(L"");
  const auto is = [&](const wchar_t* name) { return _wcsicmp(model.c_str(), name) == 0; };
  if (is(L"Apartment") || is(L"Both")) return Passed("control.threading", "ThreadingModel " + WideToBytes(model));
  if (model.empty() || is(L"Single")) {
    return Passed("control.threading", "ThreadingModel assente (Single): il controllo vive nel primo apartment del "
                                       "processo, il thread del driver");
  }
  return Failed("control.threading",
                "ThreadingModel " + WideToBytes(model) + ": il controllo non vivrebbe nel thread del form del driver",
                "Registrare la versione del controllo per programmi con form (ThreadingModel Apartment), chiedendola "
                "al produttore del registratore.");
}

// --- the type library ------------------------------------------------------------

// The type library the class names in the registry, and in it the class.
struct RegisteredLibrary {
  bool named = false;    // the class names a type library
  std::string where;     // its LIBID, version and file
  std::string problem;   // why the class cannot be read from it; empty when it can
  ComRef<ITypeInfo> coclass;
};

// The version the class names when it is registered, else the highest.
std::wstring LibraryVersion(const std::wstring& libid, const std::wstring& clsid) {
  const std::vector<std::wstring> versions = ClassesSubkeys(L"TypeLib\\" + libid);
  const auto named = ClassesText(L"CLSID\\" + clsid + L"\\Version");
  if (named && std::find(versions.begin(), versions.end(), *named) != versions.end()) return *named;
  const auto number = [](const std::wstring& version) {
    unsigned major = 0;
    unsigned minor = 0;
    std::swscanf(version.c_str(), L"%x.%x", &major, &minor);
    return std::pair(major, minor);
  };
  const auto highest = std::max_element(versions.begin(), versions.end(),
                                        [&](const auto& a, const auto& b) { return number(a) < number(b); });
  return highest == versions.end() ? std::wstring() : *highest;
}

RegisteredLibrary FindRegisteredLibrary(const std::wstring& clsid, const CLSID& id) {
  RegisteredLibrary library;
  const auto libid = ClassesText(L"CLSID\\" + clsid + L"\\TypeLib");
  if (!libid || libid->empty()) return library;
  library.named = true;
  const std::wstring version = LibraryVersion(*libid, clsid);
  library.where = WideToBytes(*libid) + " versione " + WideToBytes(version);
  const auto path = version.empty() ? std::nullopt
                                    : ClassesText(L"TypeLib\\" + *libid + L"\\" + version + L"\\0\\" +
                                                  kTypeLibraryPlatform);
  if (!path) {
    library.problem = "La libreria dei tipi " + WideToBytes(*libid) + " della classe non e' registrata per " +
                      WideToBytes(kTypeLibraryPlatform);
    return library;
  }
  library.where += ": " + WideToBytes(*path);
  ComRef<ITypeLib> types;
  if (const HRESULT loaded = LoadTypeLibEx(path->c_str(), REGKIND_NONE, types.Out()); FAILED(loaded)) {
    library.problem = "La libreria dei tipi registrata " + library.where + " non si carica: " + HresultText(loaded);
  } else if (const HRESULT found = types->GetTypeInfoOfGuid(id, library.coclass.Out()); FAILED(found)) {
    library.problem = "La libreria dei tipi registrata " + library.where + " non descrive la classe " +
                      WideToBytes(clsid) + ": " + HresultText(found);
  }
  return library;
}

// The class as the created control describes it itself.
ComRef<ITypeInfo> ProvidedClass(IDispatch* control, const CLSID& id) {
  if (!control) return {};
  ComRef<ITypeInfo> coclass = ClassTypeInfo(control);
  ComRef<ITypeInfo> dispatch;
  ComRef<ITypeLib> library;
  UINT index = 0;
  if (!coclass && SUCCEEDED(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, dispatch.Out())) && dispatch &&
      SUCCEEDED(dispatch->GetContainingTypeLib(library.Out(), &index))) {
    library->GetTypeInfoOfGuid(id, coclass.Out());
  }
  return coclass;
}

// The type library finding, and the class the operations and events are
// read from: the registered one, else the one the control provides.
ComRef<ITypeInfo> TypeLibrary(const std::wstring& clsid, const CLSID& id, IDispatch* control,
                              std::vector<Finding>& findings) {
  RegisteredLibrary registered = FindRegisteredLibrary(clsid, id);
  if (registered.coclass) {
    findings.push_back(Passed("control.typelib", "Libreria dei tipi registrata " + registered.where));
    return registered.coclass;
  }
  ComRef<ITypeInfo> provided = ProvidedClass(control, id);
  const char* fallback = provided ? "; confronto con quella fornita dal controllo creato" : "";
  if (!registered.named) {
    const std::string none = "Nessuna libreria dei tipi registrata per la classe";
    findings.push_back(provided ? Passed("control.typelib", none + fallback)
                                : Failed("control.typelib", none + " e il controllo creato non ne fornisce una",
                                         kRegisterAgain));
  } else {
    findings.push_back(Failed("control.typelib", registered.problem + fallback, kRegisterAgain));
  }
  return provided;
}

// --- the control on the driver's form --------------------------------------------

Finding EventsFinding(IDispatch* control) {
  const EventConnection events(control);
  if (events.Connected()) return Passed("control.events", "Il gestore eventi del driver si collega al controllo");
  return Failed("control.events",
                "Il gestore eventi del driver non si collega al controllo (" + events.Problem() +
                    "): StatusUpdate e DataReceived non arriverebbero",
                "Chiedere al produttore del registratore una versione del controllo che dia i suoi eventi a un "
                "contenitore (IProvideClassInfo e punti di connessione).");
}

struct FormStepText {
  FormStep step;
  const char* problem;
  const char* remedy;
};

// In the order of how basic the step is: the most basic that went wrong
// decides what to do.
constexpr FormStepText kFormSteps[] = {
    {FormStep::kApartment, "nessun apartment COM a thread singolo",
     "Eseguire la verifica dal thread del driver: un thread con un apartment COM a thread singolo."},
    {FormStep::kWindow, "la finestra del form non si crea",
     "Il programma non puo' creare finestre: avviarlo nella sessione dell'utente della cassa, con il desktop "
     "attivo."},
    {FormStep::kClassId, "il controllo non e' registrato", kRegister},
    {FormStep::kControl, "il controllo non si crea", kRegisterAgain},
    {FormStep::kAtl, "atl.dll non si carica",
     "atl.dll manca o e' danneggiata: ripristinare i file di sistema di Windows (sfc /scannow, da un prompt dei "
     "comandi come amministratore)."},
    {FormStep::kContainer, "il contenitore ATL non accetta il controllo",
     "Chiedere al produttore del registratore una versione del controllo che si possa mettere su un form "
     "(IOleObject)."},
    {FormStep::kActivation, "il controllo non si attiva sul posto", "Chiedere al produttore del registratore."},
};

const FormStepText& TextOf(FormStep step) {
  return *std::find_if(std::begin(kFormSteps), std::end(kFormSteps), [step](const auto& s) { return s.step == step; });
}

Finding FormFinding(const ZelkoForm& form) {
  if (form.Active()) {
    return Passed("control.form", "Il controllo si crea e sta sul form ZelkoForm del driver, nel contenitore ATL, "
                                  "attivo sul posto");
  }
  std::string text = "Il controllo non sta sul form ZelkoForm del driver come serve";
  const char* separator = ": ";
  for (const FormProblem& problem : form.Problems()) {
    const FailedCall& failed = problem.failed;
    text += separator + std::string(TextOf(problem.step).problem) + " (" + failed.call + ": " + failed.error + ")";
    separator = "; ";
  }
  if (form.JqtEcrZelko1() && !form.Sited()) text += "; il controllo sarebbe senza contenitore";
  const auto basic = std::find_if(std::begin(kFormSteps), std::end(kFormSteps), [&](const FormStepText& step) {
    return std::any_of(form.Problems().begin(), form.Problems().end(),
                       [&](const FormProblem& p) { return p.step == step.step; });
  });
  return Failed("control.form", text, basic == std::end(kFormSteps) ? kRegisterAgain : basic->remedy);
}

void Inspect(std::vector<Finding>& findings) {
  CLSID id;
  if (const HRESULT found = CLSIDFromProgID(kRegisterControlProgId, &id); FAILED(found)) {
    findings.push_back(Failed(
        "control.progid", "ProgID " + WideToBytes(kRegisterControlProgId) + " non registrato: " + HresultText(found),
        kRegister));
    return;
  }
  const std::wstring clsid = GuidText(id);
  findings.push_back(ClassFinding(clsid));
  const std::wstring server = ServerFile(clsid, findings);
  if (server.empty()) return;
  findings.push_back(LoadFinding(server));
  if (!findings.back().ok) return;
  findings.push_back(ThreadingFinding(clsid));
  const ZelkoForm form;
  if (ComRef<ITypeInfo> coclass = TypeLibrary(clsid, id, form.JqtEcrZelko1(), findings)) {
    for (Finding& finding : CheckTypeLibrary(coclass.Get())) findings.push_back(std::move(finding));
  }
  if (form.JqtEcrZelko1()) findings.push_back(EventsFinding(form.JqtEcrZelko1()));
  findings.push_back(FormFinding(form));
}

}  // namespace

std::vector<Finding> InspectRegisterControl() {
  // The registry and type library calls need the thread's apartment as the form does.
  const bool started = SUCCEEDED(CoInitialize(nullptr));
  std::vector<Finding> findings;
  Inspect(findings);
  if (started) CoUninitialize();
  return findings;
}

}  // namespace zelko
