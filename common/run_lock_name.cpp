#include "command_file_lock.h"

#include "text.h"

namespace zelko {

std::string CommandFileLockPath(std::string_view commandFilePath) {
  const std::size_t separator = commandFilePath.find_last_of("\\/:");
  const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
  return std::string(commandFilePath.substr(0, nameStart)) + ToLowerAscii(commandFilePath.substr(nameStart)) +
         ".lock";
}

}  // namespace zelko
