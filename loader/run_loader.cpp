#include "run_loader.h"

#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "loader_settings.h"
#include "loader_settings.h"
#include "run_lock.h"
#include "convert_article_file.h"
#include "loader_failure.h"

namespace zelko {

namespace {

[[noreturn]] void FailArticleFileMissing() {
  throw LoaderFailure{failure::kArticleFileMissing, "File da convertire assente o errato"};
}

void RunSteps(const HostServices& host, std::ostream& diagnostics) {
  LoaderSettings settings = SettingsFromCommandLine(host.CommandLineText());
  if (settings.articlePath.empty()) FailArticleFileMissing();
  RequireConfigFile(host);
  if (!host.IsOrdinaryFile(settings.articlePath)) FailArticleFileMissing();
  ReadConfigFile(host, ConfigFilePath(host), settings);
  // One run at a time per output file, loader or driver: the command file's
  // lock is held from before the output is written until the run ends.
  const auto lock = LockRunsOn(host, std::string(OutputFilePath(settings)), diagnostics);
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
  try {
    RunSteps(host, diagnostics);
    return 0;
  } catch (const LoaderFailure& failure) {
    return failure.number;
  } catch (const std::bad_alloc&) {
    return failure::kOutOfMemory;
  }
}

}  // namespace zelko
