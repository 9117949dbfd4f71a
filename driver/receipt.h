#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "host_services.h"

namespace zelko {

// A receipt command file as its first pass reads it. The command lines are
// kept as read, so that the run sends exactly the lines that were counted,
// whatever happens to the file meanwhile.
struct Receipt {
  std::string port;                       // line 1, trimmed
  std::string speed;                      // line 2, trimmed
  double declaredLines = 0;               // line 3 read as a number, rounded half to even
  std::vector<std::string> commandLines;  // the lines after line 3, untrimmed

  std::size_t FoundLines() const { return commandLines.size(); }
  bool LineCountMatches() const { return declaredLines == static_cast<double>(FoundLines()); }
};

// The first pass: reads the whole file, once. Empty when it cannot be opened
// or read, or has fewer than three lines.
std::optional<Receipt> ReadCommandFile(const HostServices& host, const std::string& path);

// The receipt that a command file of these lines would give, its count right.
Receipt ReceiptOf(std::string_view port, std::string_view speed, std::vector<std::string> commandLines);

// Line 2 asks for the high speed when it begins with "115200".
bool AsksForHighSpeed(const std::string& speed);

std::string MissingCommandFileMessage(const std::string& path);
std::string LineCountMessage(std::size_t foundLines);

}  // namespace zelko
