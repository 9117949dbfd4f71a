#pragma once

#include <fstream>
#include <functional>
#include <string>

namespace zelko::emulator {

// The record of everything the register was asked and answered: one line per
// operation, appended to a file and, when an echo is set, shown live.
class Journal {
 public:
  using Echo = std::function<void(const std::string& line)>;

  Journal() = default;
  // Appends to the file, creating it and its folder when missing. An empty
  // path keeps no file.
  explicit Journal(const std::string& path);

  // False when the file could not be opened or a write failed.
  bool Ok() const { return ok_; }
  void SetEcho(Echo echo) { echo_ = std::move(echo); }
  void Write(const std::string& line);

 private:
  std::ofstream file_;
  bool ok_ = true;
  Echo echo_;
};

}  // namespace zelko::emulator
