#pragma once

#include <memory>
#include <string_view>

#include "host_services.h"
#include "settings_store.h"

namespace zelko {

// The host's real services, implemented once per platform (POSIX, Win32).
std::unique_ptr<HostServices> MakeHostServices(int argc, char** argv);
// The per-user settings store for one application and section.
std::unique_ptr<SettingsStore> MakeSettingsStore(std::string_view application, std::string_view section);

}  // namespace zelko
