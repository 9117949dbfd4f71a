#include "run_loader.h"

#include <new>
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

void RunSteps(const HostServices& host) {
  LoaderSettings settings = SettingsFromCommandLine(host.CommandLineText());
  if (settings.articlePath.empty()) FailArticleFileMissing();
  const std::string configPath = ConfigFilePath(host);
  if (!host.IsOrdinaryFile(configPath)) {
    throw LoaderFailure{failure::kConfigMissing, "File di configurazione assente"};
  }
  if (!host.IsOrdinaryFile(settings.articlePath)) FailArticleFileMissing();
  ReadConfigFile(host, configPath, settings);
  if (const std::int32_t number = ConvertArticleFile(settings, host); number != 0) {
    throw LoaderFailure{number, "Errore nella creazione del file " + std::string(kCommandFilePath)};
  }
}

}  // namespace

std::int32_t RunLoader(const HostServices& host) {
  try {
    RunSteps(host);
    return 0;
  } catch (const LoaderFailure& failure) {
    return failure.number;
  } catch (const std::bad_alloc&) {
    return failure::kOutOfMemory;
  }
}

}  // namespace zelko
