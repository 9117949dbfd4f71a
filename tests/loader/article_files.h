#pragma once

#include <string>
#include <vector>

namespace zelko::testing {

// An article file line from its fields, each given at its full column width.
inline std::string ArticleLine(const std::string& type, const std::string& code, const std::string& description,
                               const std::string& price, const std::string& one, const std::string& two,
                               const std::string& tail = "X") {
  return type + code + description + price + " " + one + two + tail;
}

// The worked example: code 000001234567, "ACQUA MINERALE 1,5L ", price 00000050, 1, 02.
inline std::string WorkedExampleLine() {
  return ArticleLine("11", "000001234567", "ACQUA MINERALE 1,5L ", "00000050", "1", "02");
}
inline const std::string kWorkedExampleRecord = "110000012345670ACQUA MINERALE 1,5L 00000050021";
inline const std::string kWorkedExampleCommand = ">>/?P/(" + kWorkedExampleRecord + ")";

inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

// A whole receipt command file as the loader writes it around these
// article commands.
inline std::string CommandFile(const std::vector<std::string>& body, const std::string& port = "1",
                               const std::string& speedLine = "115200,n,8,1") {
  std::vector<std::string> lines = {port, speedLine, std::to_string(body.size() + 6), "=t/*1", "=C4",
                                    "=D1/(Carico Avviato)"};
  lines.insert(lines.end(), body.begin(), body.end());
  lines.insert(lines.end(), {"=C1", "=t/*0", "=D1/(Carico Completato)"});
  return CrLfLines(lines);
}

}  // namespace zelko::testing
