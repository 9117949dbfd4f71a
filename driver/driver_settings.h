#pragma once

#include <string>
#include <string_view>

#include "settings_store.h"

namespace zelko {

inline constexpr const char* kKeyGestioneErrori = "GestioneErrori";
inline constexpr const char* kKeyMessaggio = "Messaggio";
inline constexpr const char* kKeyControlloTransazione = "ControlloTransazione";

// The driver's three per-user settings, as loaded for this run.
struct DriverSettings {
  std::string GestioneErrori;
  std::string Messaggio;
  std::string ControlloTransazione;
};

// The stored value; empty when the key is absent or the store cannot be read.
std::string LoadSetting(const SettingsStore& store, std::string_view key);

// A blank value (empty after trimming spaces) becomes "S"; true when it did.
bool DefaultBlankToS(std::string& value);

// Writes the three settings back, blank GestioneErrori and ControlloTransazione
// as "S"; a key that already holds exactly its value is not rewritten.
void SaveDriverSettings(SettingsStore& store, DriverSettings& settings);

// GestioneErrori, trimmed, "N": failure message boxes are not shown.
bool SuppressesFailureBoxes(std::string_view gestioneErrori);

}  // namespace zelko
