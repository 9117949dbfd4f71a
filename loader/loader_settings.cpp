#include "loader_settings.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "loader_failure.h"
#include "numeric_text.h"
#include "text.h"
#include "text_file.h"

namespace zelko {

namespace {

constexpr double kHighSpeed = 115200;
constexpr double kLowSpeed = 9600;

// When the upper-cased text contains the switch, the text becomes its
// upper-cased form with every occurrence of the switch removed.
bool TakeSwitch(std::string& text, std::string_view name) {
  const std::string upper = ToUpperAscii(text);
  std::size_t at = upper.find(name);
  if (at == std::string::npos) return false;
  std::string rest;
  std::size_t from = 0;
  for (; at != std::string::npos; at = upper.find(name, from)) {
    rest.append(upper, from, at - from);
    from = at + name.size();
  }
  rest.append(upper, from);
  text = std::move(rest);
  return true;
}

[[noreturn]] void FailOverflow() { throw LoaderFailure{failure::kOverflow, "Overflow"}; }

double FiniteValue(std::string_view value) {
  const double number = NumericTextValue(value);
  if (!std::isfinite(number)) FailOverflow();
  return number;
}

void SetNumber(std::string_view value, double& field) {
  if (IsNumericText(value)) field = FiniteValue(value);
}

void SetWholeNumber(std::string_view value, std::int16_t& field) {
  if (!IsNumericText(value)) return;
  const double whole = RoundHalfEven(FiniteValue(value));
  if (whole < std::numeric_limits<std::int16_t>::min() || whole > std::numeric_limits<std::int16_t>::max()) {
    FailOverflow();
  }
  field = static_cast<std::int16_t>(whole);
}

}  // namespace

LoaderSettings SettingsFromCommandLine(std::string_view commandLine) {
  LoaderSettings settings;
  std::string text(commandLine);
  settings.recordFileMode = TakeSwitch(text, "-CF");
  settings.highSpeedDefault = !TakeSwitch(text, "-LS");
  if (TakeSwitch(text, "-HS")) settings.highSpeedDefault = true;
  settings.articlePath = TrimSpaces(text);
  settings.baud = settings.highSpeedDefault ? kHighSpeed : kLowSpeed;
  return settings;
}

std::string ConfigFilePath(const HostServices& host) { return host.OwnFolder() + "\\config.cmd"; }

void RequireConfigFile(const HostServices& host) {
  if (!host.IsOrdinaryFile(ConfigFilePath(host))) {
    throw LoaderFailure{failure::kConfigMissing, "File di configurazione assente"};
  }
}

void ApplyConfigLine(std::string_view line, LoaderSettings& settings) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string key = ToLowerAscii(TrimSpaces(line.substr(0, equals)));
  std::string_view value = line.substr(equals + 1);
  value = value.substr(0, value.find('='));
  if (key == "port") {
    SetWholeNumber(value, settings.port);
  } else if (key == "baud") {
    SetNumber(value, settings.baud);
  } else if (key == "parity") {
    settings.parity = TrimSpaces(value);
  } else if (key == "databit") {
    SetWholeNumber(value, settings.databit);
  } else if (key == "stopbit") {
    SetWholeNumber(value, settings.stopbit);
  }
}

void ReadConfigFile(const HostServices& host, const std::string& path, LoaderSettings& settings) {
  auto source = host.OpenRead(path);
  if (!source) throw LoaderFailure{failure::kConfigNotOpened, "Impossibile aprire il file di configurazione"};
  TextReader reader(std::move(source));
  std::string line;
  while (reader.ReadLine(line)) ApplyConfigLine(line, settings);
  if (reader.Failed()) throw LoaderFailure{failure::kConfigNotRead, "Errore di lettura del file di configurazione"};
}

}  // namespace zelko
