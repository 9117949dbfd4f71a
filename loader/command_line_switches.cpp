#include "command_line_switches.h"

#include <string>

#include "text.h"

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

}  // namespace zelko
