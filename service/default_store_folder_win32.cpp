#include <cstdlib>
#include <filesystem>

#include "service_options.h"

namespace zelko::service {

// %LOCALAPPDATA%\Zelko\Service: kept per user and per machine, never roamed.
std::filesystem::path DefaultStoreFolder() {
  const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
  const std::filesystem::path base = local != nullptr && *local != L'\0' ? local : std::filesystem::current_path();
  return base / L"Zelko" / L"Service";
}

}  // namespace zelko::service
