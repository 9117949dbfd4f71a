#include "receipt.h"

#include "text.h"
#include "text_file.h"

namespace zelko {

std::optional<Receipt> ReadCommandFile(const HostServices& host, const std::string& path) {
  auto source = host.OpenRead(path);
  if (!source) return std::nullopt;
  TextReader reader(std::move(source));
  std::string port;
  std::string speed;
  std::string count;
  if (!reader.ReadLine(port) || !reader.ReadLine(speed) || !reader.ReadLine(count)) return std::nullopt;
  Receipt receipt = ReceiptOf(port, speed, {});
  receipt.declaredLines = RoundHalfEven(ReadLeadingNumber(count));
  for (std::string line; reader.ReadLine(line);) receipt.commandLines.push_back(std::move(line));
  if (reader.Failed()) return std::nullopt;
  return receipt;
}

Receipt ReceiptOf(std::string_view port, std::string_view speed, std::vector<std::string> commandLines) {
  const double count = static_cast<double>(commandLines.size());
  return {std::string(TrimSpaces(port)), std::string(TrimSpaces(speed)), count, std::move(commandLines)};
}

bool AsksForHighSpeed(const std::string& speed) { return speed.starts_with("115200"); }

std::string MissingCommandFileMessage(const std::string& path) {
  return "File Scontrino assente o incompleto: " + path;
}

std::string LineCountMessage(std::size_t foundLines) {
  return "Righe Scontrino NON uguali lette: " + ZeroPadded(static_cast<long long>(foundLines), 4);
}

}  // namespace zelko
