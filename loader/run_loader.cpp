#include "run_loader.h"

#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "command_line_switches.h"
#include "config_file.h"
#include "convert_article_file.h"
#include "loader_failure.h"

namespace zelko {

namespace {

[[noreturn]] void FailArticleFileMissing() {
  throw LoaderFailure{failure::kArticleFileMissing, "File da convertire assente o errato"};
}

// One run at a time per output file, loader or driver: the command file's
// lock is held from before the output is written until the run ends.
std::unique_ptr<RunLock> WaitForOtherRuns(const HostServices& host, const LoaderSettings& settings,
                                          std::ostream& diagnostics) {
  const std::string path(OutputFilePath(settings));
  auto lock = host.LockForRun(path);
  if (!lock) diagnostics << "PLUZELKO: the run lock of \"" << path << "\" cannot be had; running without it\n";
  return lock;
}

void RunSteps(const HostServices& host, std::ostream& diagnostics) {
  LoaderSettings settings = SettingsFromCommandLine(host.CommandLineText());
  if (settings.articlePath.empty()) FailArticleFileMissing();
  const std::string configPath = ConfigFilePath(host);
  if (!host.IsOrdinaryFile(configPath)) {
    throw LoaderFailure{failure::kConfigMissing, "File di configurazione assente"};
  }
  if (!host.IsOrdinaryFile(settings.articlePath)) FailArticleFileMissing();
  ReadConfigFile(host, configPath, settings);
  const auto lock = WaitForOtherRuns(host, settings, diagnostics);
  // Writing the output would destroy the very file it is made from.
  if (host.IsSameFile(settings.articlePath, std::string(OutputFilePath(settings)))) {
    throw LoaderFailure{failure::kArticleFileIsOutput, "Il file da convertire e' il file " +
                                                           std::string(OutputFilePath(settings))};
  }
  if (const std::int32_t number = ConvertArticleFile(settings, host); number != 0) {
    throw LoaderFailure{number, "Errore nella creazione del file " + std::string(kCommandFilePath)};
  }
}

}  // namespace

std::int32_t RunLoader(const HostServices& host, std::ostream& diagnostics) {
  return RunLoaderWithReason(host, diagnostics).number;
}

LoaderFailure RunLoaderWithReason(const HostServices& host, std::ostream& diagnostics) {
  try {
    RunSteps(host, diagnostics);
    return {0, {}};
  } catch (const LoaderFailure& failure) {
    return failure;
  } catch (const std::bad_alloc&) {
    return {failure::kOutOfMemory, "Memoria esaurita"};
  }
}

}  // namespace zelko
