#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "host_services.h"

namespace zelko {

// What the first pass learns of a receipt command file. The command lines
// are kept as read, so that the second pass sends exactly the lines that the
// first one counted, whatever happens to the file in between.
struct CommandFileCheck {
  std::string port;                       // line 1, trimmed
  std::string speed;                      // line 2, trimmed
  double declaredLines = 0;               // line 3 read as a number, rounded half to even
  std::vector<std::string> commandLines;  // the lines after line 3, untrimmed

  std::size_t FoundLines() const { return commandLines.size(); }
  bool LineCountMatches() const { return declaredLines == static_cast<double>(FoundLines()); }
};

// Reads the whole file, once. Empty when it cannot be opened or read, or has
// fewer than three lines.
std::optional<CommandFileCheck> CheckCommandFile(const HostServices& host, const std::string& path);

// Line 2 asks for the high speed when it begins with "115200".
bool AsksForHighSpeed(const std::string& speed);

std::string MissingCommandFileMessage(const std::string& path);
std::string LineCountMessage(std::size_t foundLines);

}  // namespace zelko
