#pragma once

#include <string>
#include <string_view>

namespace zelko {

// A stored setting as read: present with its value, absent, or not readable
// (the store exists but could not be read).
struct SettingValue {
  enum class State { Present, Absent, Unreadable };
  State state = State::Absent;
  std::string value;
};

// The per-user settings store, one application and section of it
// (the driver's is "JQT SPA" / "ZELKO"). Values are kept byte for byte.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual SettingValue Read(std::string_view key) const = 0;
  // Creates the key when absent. False when nothing was written (a store that
  // could not be read is never rewritten, so nothing in it is lost).
  virtual bool Write(std::string_view key, std::string_view value) = 0;
  // Whether a Write could succeed, found without changing the store.
  virtual bool CanWrite() const = 0;
};

}  // namespace zelko
