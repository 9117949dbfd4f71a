#include <windows.h>

#include "host_backend.h"

namespace zelko {

namespace {

// Where VB's SaveSetting and GetSetting keep program settings.
constexpr char kSettingsRoot[] = "Software\\VB and VBA Program Settings\\";

// One application and section: a key of HKEY_CURRENT_USER holding REG_SZ values.
class RegistrySettingsStore : public SettingsStore {
 public:
  explicit RegistrySettingsStore(std::string keyPath) : keyPath_(std::move(keyPath)) {}

  SettingValue Read(std::string_view key) const override {
    HKEY handle = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, &handle);
    if (opened == ERROR_FILE_NOT_FOUND) return {SettingValue::State::Absent, {}};
    if (opened != ERROR_SUCCESS) return {SettingValue::State::Unreadable, {}};
    SettingValue value = ReadValue(handle, std::string(key));
    RegCloseKey(handle);
    return value;
  }

  // The key opened for setting values, or, when it is missing, the user's
  // branch for programs' settings opened for making it; nothing is created.
  bool CanWrite() const override {
    HKEY handle = nullptr;
    LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_SET_VALUE, &handle);
    if (opened == ERROR_FILE_NOT_FOUND) {
      opened = RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_CREATE_SUB_KEY, &handle);
    }
    if (opened != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
  }

  bool Write(std::string_view key, std::string_view value) override {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS) {
      return false;
    }
    // REG_SZ with its terminating zero; the bytes before it are the value as given.
    const std::string data(value);
    const LONG written = RegSetValueExA(handle, std::string(key).c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(data.c_str()),
                                        static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
    return written == ERROR_SUCCESS;
  }

 private:
  static SettingValue ReadValue(HKEY handle, const std::string& key) {
    for (;;) {
      DWORD type = 0;
      DWORD size = 0;
      LONG result = RegQueryValueExA(handle, key.c_str(), nullptr, &type, nullptr, &size);
      if (result == ERROR_FILE_NOT_FOUND) return {SettingValue::State::Absent, {}};
      if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {SettingValue::State::Unreadable, {}};
      }
      std::string data(size, '\0');
      result = RegQueryValueExA(handle, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
      if (result == ERROR_MORE_DATA) continue;  // the value grew in between
      if (result != ERROR_SUCCESS) return {SettingValue::State::Unreadable, {}};
      data.resize(size);
      if (!data.empty() && data.back() == '\0') data.pop_back();
      return {SettingValue::State::Present, data};
    }
  }

  std::string keyPath_;
};

}  // namespace

std::unique_ptr<SettingsStore> MakeSettingsStore(std::string_view application, std::string_view section) {
  return std::make_unique<RegistrySettingsStore>(std::string(kSettingsRoot) + std::string(application) + "\\" +
                                                 std::string(section));
}

}  // namespace zelko
