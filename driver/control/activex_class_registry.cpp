#include "activex_class_registry.h"

#include <cwchar>

namespace zelko {

namespace {

std::wstring Expanded(const std::wstring& text) {
  wchar_t expanded[MAX_PATH];
  const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? std::wstring(expanded) : text;
}

}  // namespace

std::optional<std::wstring> ClassesText(const std::wstring& key, const wchar_t* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
  std::optional<std::wstring> text;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(handle, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &size) ==
        ERROR_SUCCESS) {
      value.resize(std::wcslen(value.c_str()));
      text = type == REG_EXPAND_SZ ? Expanded(value) : value;
    }
  }
  RegCloseKey(handle);
  return text;
}

std::vector<std::wstring> ClassesSubkeys(const std::wstring& key) {
  std::vector<std::wstring> names;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(handle);
  return names;
}

std::wstring GuidText(const GUID& id) {
  wchar_t text[40];
  return StringFromGUID2(id, text, 40) > 0 ? std::wstring(text) : std::wstring();
}

}  // namespace zelko
