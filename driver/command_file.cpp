#include "command_file.h"

#include "text.h"
#include "text_file.h"

namespace zelko {

std::optional<CommandFileCheck> CheckCommandFile(const HostServices& host, const std::string& path) {
  auto source = host.OpenRead(path);
  if (!source) return std::nullopt;
  TextReader reader(std::move(source));
  std::string port;
  std::string speed;
  std::string count;
  if (!reader.ReadLine(port) || !reader.ReadLine(speed) || !reader.ReadLine(count)) return std::nullopt;
  CommandFileCheck check{std::string(TrimSpaces(port)), std::string(TrimSpaces(speed)),
                         RoundHalfEven(ReadLeadingNumber(count)), {}};
  for (std::string line; reader.ReadLine(line);) check.commandLines.push_back(std::move(line));
  if (reader.Failed()) return std::nullopt;
  return check;
}

bool AsksForHighSpeed(const std::string& speed) { return speed.starts_with("115200"); }

std::string MissingCommandFileMessage(const std::string& path) {
  return "File Scontrino assente o incompleto: " + path;
}

std::string LineCountMessage(std::size_t foundLines) {
  return "Righe Scontrino NON uguali lette: " + ZeroPadded(static_cast<long long>(foundLines), 4);
}

}  // namespace zelko
