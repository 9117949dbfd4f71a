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

void SaveDriverSettings(SettingsStore& store, DriverSettings& settings) {
  store.Write(kKeyMessaggio, settings.Messaggio);
  DefaultBlankToS(settings.ControlloTransazione);
  store.Write(kKeyControlloTransazione, settings.ControlloTransazione);
  DefaultBlankToS(settings.GestioneErrori);
  store.Write(kKeyGestioneErrori, settings.GestioneErrori);
}

bool SuppressesFailureBoxes(std::string_view gestioneErrori) { return TrimSpaces(gestioneErrori) == "N"; }

}  // namespace zelko
