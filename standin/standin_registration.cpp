// regsvr32's entry points: the control's keys under HKEY_CLASSES_ROOT and its
// type library, added and removed together.
#include <windows.h>
#include <olectl.h>
#include <shlwapi.h>

#include <string>

#include "standin_module.h"
#include "zelko_standin.h"

namespace {

constexpr wchar_t kProgId[] = L"JQTZelko.JqtEcrZelko";
constexpr wchar_t kDescription[] = L"Zelko stand-in control (not the maker's control)";
#ifdef _WIN64
constexpr SYSKIND kSystem = SYS_WIN64;
#else
constexpr SYSKIND kSystem = SYS_WIN32;
#endif

std::wstring GuidText(const GUID& id) {
  wchar_t text[40];
  return StringFromGUID2(id, text, 40) > 0 ? std::wstring(text) : std::wstring();
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(zelko::StandInModule(), path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

// Creates HKEY_CLASSES_ROOT\<key> and sets one of its values (`name` null: the default).
bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  const bool set =
      RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return set;
}

std::wstring DefaultValue(const std::wstring& key) {
  wchar_t value[64];
  LONG size = sizeof value;
  if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return {};
  return value;
}

bool RegisterClassKeys(const std::wstring& path) {
  const std::wstring clsid = GuidText(CLSID_JqtEcrZelko);
  const std::wstring key = L"CLSID\\" + clsid;
  return SetValue(key, nullptr, kDescription) && SetValue(key + L"\\Control", nullptr, L"") &&
         SetValue(key + L"\\InprocServer32", nullptr, path) &&
         SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
         SetValue(key + L"\\ProgID", nullptr, kProgId) &&
         SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_ZelkoStandInLib)) &&
         SetValue(key + L"\\Version", nullptr, L"1.0") && SetValue(kProgId, nullptr, kDescription) &&
         SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr, clsid);
}

bool RegisterTypeLibrary(const std::wstring& path) {
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library))) return false;
  std::wstring file = path;
  const HRESULT result = RegisterTypeLib(library, file.data(), nullptr);
  library->Release();
  return SUCCEEDED(result);
}

}  // namespace

STDAPI DllUnregisterServer() {
  const std::wstring clsid = GuidText(CLSID_JqtEcrZelko);
  // The ProgID only while it still names this control: a control registered
  // later under the same ProgID (the maker's) keeps it.
  if (DefaultValue(std::wstring(kProgId) + L"\\CLSID") == clsid) SHDeleteKeyW(HKEY_CLASSES_ROOT, kProgId);
  SHDeleteKeyW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str());
  UnRegisterTypeLib(LIBID_ZelkoStandInLib, 1, 0, LOCALE_NEUTRAL, kSystem);
  return S_OK;
}

STDAPI DllRegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return SELFREG_E_CLASS;
  if (!RegisterClassKeys(path)) {
    DllUnregisterServer();
    return SELFREG_E_CLASS;
  }
  if (!RegisterTypeLibrary(path)) {
    DllUnregisterServer();
    return SELFREG_E_TYPELIB;
  }
  return S_OK;
}
