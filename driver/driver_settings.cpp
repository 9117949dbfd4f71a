#include "driver_settings.h"

#include "text.h"

namespace zelko {

std::string LoadSetting(const SettingsStore& store, std::string_view key) {
  SettingValue stored = store.Read(key);
  return stored.state == SettingValue::State::Present ? std::move(stored.value) : std::string();
}

bool DefaultBlankToS(std::string& value) {
  if (!TrimSpaces(value).empty()) return false;
  value.assign(1, 'S');  // not = "S": GCC 12 at -O2 gives a false -Wrestrict on that
  return true;
}

namespace {

// A write replaces the whole store on some hosts (flushed to disk twice), so a
// value the store already holds exactly is left as it is.
void WriteUnlessStored(SettingsStore& store, std::string_view key, const std::string& value) {
  const SettingValue stored = store.Read(key);
  if (stored.state == SettingValue::State::Present && stored.value == value) return;
  store.Write(key, value);
}

}  // namespace

void SaveDriverSettings(SettingsStore& store, DriverSettings& settings) {
  WriteUnlessStored(store, kKeyMessaggio, settings.Messaggio);
  DefaultBlankToS(settings.ControlloTransazione);
  WriteUnlessStored(store, kKeyControlloTransazione, settings.ControlloTransazione);
  DefaultBlankToS(settings.GestioneErrori);
  WriteUnlessStored(store, kKeyGestioneErrori, settings.GestioneErrori);
}

bool SuppressesFailureBoxes(std::string_view gestioneErrori) { return TrimSpaces(gestioneErrori) == "N"; }

}  // namespace zelko
