#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host_services.h"

namespace zelko {

// The loader's run settings: filled by start-up, from its command line's
// switches, the defaults and "config.cmd", and read by the conversion.
struct LoaderSettings {
  std::int16_t port = 1;
  double baud = 115200;
  std::string parity = "n";
  std::int16_t databit = 8;
  std::int16_t stopbit = 1;
  std::string articlePath;
  bool recordFileMode = false;
  bool highSpeedDefault = true;
};

// The settings that the command line decides, with the defaults beside them:
// the switches "-CF", "-LS" and "-HS" are found anywhere and in any case and
// cut out (the text left is then upper case), and what is left, trimmed, is
// the article path (empty when none was given).
LoaderSettings SettingsFromCommandLine(std::string_view commandLine);

// "config.cmd" in the loader's own folder.
std::string ConfigFilePath(const HostServices& host);

// Throws LoaderFailure -1 ("File di configurazione assente") when
// "config.cmd" is not an ordinary file in the loader's own folder.
void RequireConfigFile(const HostServices& host);

// Applies one line of "config.cmd": "key=value", the key trimmed and
// lower-cased, the value up to a second "="; lines without "=", unknown keys
// and values that do not read as a number where one is needed change nothing.
// Throws LoaderFailure (overflow) for a port, databit or stopbit outside the
// 16-bit range, or a baud beyond the range of a double.
void ApplyConfigLine(std::string_view line, LoaderSettings& settings);

// Applies every line of the file in order. Throws LoaderFailure when the file
// cannot be opened or read, or for an overflow.
void ReadConfigFile(const HostServices& host, const std::string& path, LoaderSettings& settings);

}  // namespace zelko
