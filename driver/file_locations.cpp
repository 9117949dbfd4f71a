#include "file_locations.h"

#include <string_view>

#include "text.h"

namespace zelko {

namespace {

// Applies every "USERPROFILE" entry before the first empty one; with none the locations stay.
void ApplyProfileFolders(const std::vector<std::string>& environment, bool commandFileExists,
                         FileLocations& locations) {
  constexpr std::string_view kKey = "USERPROFILE";
  for (const std::string& entry : environment) {
    if (entry.empty()) break;
    if (!entry.starts_with(kKey)) continue;
    // The folder starts after "USERPROFILE=", whatever the 12th character is.
    const std::string profile = entry.size() > kKey.size() + 1 ? entry.substr(kKey.size() + 1) : std::string();
    if (!commandFileExists) locations.commandFilePath = profile + "\\Scontrino.inp";
    locations.resultFilePath = profile + "\\SCONTRINO.OUT";
    locations.dataFilePath = profile + "\\JQTZelkoData.OUT";
  }
}

}  // namespace

FileLocations LocateFilesFor(const std::string& hostName, bool commandFileExists, const std::string& ownFolder,
                             const std::vector<std::string>& environment) {
  FileLocations locations{kDefaultCommandFile, {}, {}};
  if (hostName == "XP") {
    locations.resultFilePath = kDefaultResultFile;
    locations.dataFilePath = kDefaultDataFile;
    if (!commandFileExists) locations.commandFilePath = ownFolder + "\\Scontrino.inp";
  } else if (hostName == "VISTA" || hostName == "SEVEN") {
    ApplyProfileFolders(environment, commandFileExists, locations);
  }
  // Hosts without a rule of their own use the places of "XP".
  if (locations.resultFilePath.empty()) locations.resultFilePath = kDefaultResultFile;
  if (locations.dataFilePath.empty()) locations.dataFilePath = kDefaultDataFile;
  return locations;
}

FileLocations LocateFiles(const std::string& hostName, const HostServices& host) {
  return LocateFilesFor(hostName, host.IsOrdinaryFile(kDefaultCommandFile), host.OwnFolder(),
                        host.EnvironmentEntries());
}

std::string ResultPathFromCommandLine(const std::string& commandLine) {
  std::string_view path = TrimSpaces(commandLine);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return std::string(path);
}

}  // namespace zelko
