#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings_store.h"

namespace zelko::testing {

// Settings in memory; every write is also recorded. An unreadable store refuses
// reads and writes.
class FakeSettingsStore : public SettingsStore {
 public:
  std::map<std::string, std::string> values;
  bool unreadable = false;
  std::vector<std::pair<std::string, std::string>> writes;

  SettingValue Read(std::string_view key) const override;
  bool Write(std::string_view key, std::string_view value) override;
  bool CanWrite() const override { return !unreadable; }
};

}  // namespace zelko::testing
