#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host_services.h"
#include "settings_store.h"

namespace zelko {

// The host's real services, implemented once per platform (POSIX, Win32).
std::unique_ptr<HostServices> MakeHostServices(int argc, char** argv);
// "NAME=value" entries of this process, in the order it received them.
std::vector<std::string> ProcessEnvironment();
// The folder that holds the programs' own files (environment.h: ZelkoRootFrom),
// with this process's environment and the home folder of its user's account.
std::string ZelkoRoot();
// Standard error goes to a terminal (and not to a file or pipe that a caller reads).
bool StandardErrorIsTerminal();
// The per-user settings store for one application and section.
std::unique_ptr<SettingsStore> MakeSettingsStore(std::string_view application, std::string_view section);

}  // namespace zelko
