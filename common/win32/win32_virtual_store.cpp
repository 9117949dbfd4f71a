#include "win32_virtual_store.h"

#include <windows.h>

namespace zelko {

std::string VirtualStoreCopy(const std::string& path) {
  char full[MAX_PATH];
  char drive[MAX_PATH];
  char store[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  const DWORD driveLength = GetEnvironmentVariableA("SystemDrive", drive, sizeof drive);
  const DWORD storeLength = GetEnvironmentVariableA("LOCALAPPDATA", store, sizeof store);
  const auto letter = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  const bool onSystemDrive = length > 3 && length < sizeof full && driveLength == 2 &&
                             letter(full[0]) == letter(drive[0]) && full[1] == ':' && full[2] == '\\';
  if (!onSystemDrive || storeLength == 0 || storeLength >= sizeof store) return {};
  return std::string(store) + "\\VirtualStore" + (full + 2);
}

bool ProcessIsVirtualized() {
  // TokenVirtualizationEnabled is 24 in the TOKEN_INFORMATION_CLASS of Vista;
  // Windows XP refuses to be asked, and has no virtualization.
  constexpr auto kTokenVirtualizationEnabled = static_cast<TOKEN_INFORMATION_CLASS>(24);
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD enabled = 0;
  DWORD size = 0;
  const bool asked = GetTokenInformation(token, kTokenVirtualizationEnabled, &enabled, sizeof enabled, &size);
  CloseHandle(token);
  return asked && enabled != 0;
}

}  // namespace zelko
