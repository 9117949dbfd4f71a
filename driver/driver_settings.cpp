#include "driver_settings.h"

#include "text.h"

namespace zelko {

std::string LoadSetting(const SettingsStore& store, std::string_view key) {
  SettingValue stored = store.Read(key);
  return stored.state == SettingValue::State::Present ? std::move(stored.value) : std::string();
}

void DefaultBlankToS(std::string& value) {
  if (TrimSpaces(value).empty()) value = "S";
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
