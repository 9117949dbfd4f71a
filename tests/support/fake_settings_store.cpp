#include "fake_settings_store.h"

namespace zelko::testing {

SettingValue FakeSettingsStore::Read(std::string_view key) const {
  if (unreadable) return {SettingValue::State::Unreadable, {}};
  const auto found = values.find(std::string(key));
  if (found == values.end()) return {SettingValue::State::Absent, {}};
  return {SettingValue::State::Present, found->second};
}

bool FakeSettingsStore::Write(std::string_view key, std::string_view value) {
  if (unreadable) return false;
  values[std::string(key)] = std::string(value);
  writes.emplace_back(key, value);
  return true;
}

}  // namespace zelko::testing
