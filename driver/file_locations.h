#pragma once

#include <string>
#include <vector>

#include "host_services.h"

namespace zelko {

inline constexpr const char* kDefaultCommandFile = "c:\\SCONTRINO.INP";
inline constexpr const char* kDefaultResultFile = "c:\\SCONTRINO.OUT";
inline constexpr const char* kDefaultDataFile = "c:\\JQTZelkoData.OUT";

struct FileLocations {
  std::string commandFilePath;
  std::string resultFilePath;
  std::string dataFilePath;
};

// Where the run's three files lie on a host of the given name. `commandFileExists`
// tells whether "c:\SCONTRINO.INP" is an ordinary file.
FileLocations LocateFilesFor(const std::string& hostName, bool commandFileExists, const std::string& ownFolder,
                             const std::vector<std::string>& environment);

FileLocations LocateFiles(const std::string& hostName, const HostServices& host);

// The result path that the command line names, or empty when it names none:
// the text trimmed of spaces, one pair of enclosing double quotes removed.
std::string ResultPathFromCommandLine(const std::string& commandLine);

}  // namespace zelko
