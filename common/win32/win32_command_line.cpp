#include "win32_command_line.h"

namespace zelko {

std::string ArgumentsAfterProgramName(std::string_view commandLine) {
  std::size_t position = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const auto closing = commandLine.find('"', 1);
    position = closing == std::string_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (position < commandLine.size() && commandLine[position] != ' ' && commandLine[position] != '\t') {
      ++position;
    }
  }
  while (position < commandLine.size() && (commandLine[position] == ' ' || commandLine[position] == '\t')) {
    ++position;
  }
  return std::string(commandLine.substr(position));
}

}  // namespace zelko
