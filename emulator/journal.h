#pragma once

#include <functional>
#include <memory>
#include <string>

#include "byte_stream.h"
#include "host_services.h"

namespace zelko::emulator {

// The record of everything the register was asked and answered: one line per
// operation, appended to a file and, when an echo is set, shown live. Lines
// are tab-separated fields; the texts that came from a driver or the console
// in them are escaped (EscapeForLog) by whoever builds the line, so that a
// line is always one line and shows no raw control byte on a terminal.
class Journal {
 public:
  using Echo = std::function<void(const std::string& line)>;

  Journal() = default;
  // Appends to the file of `host`, creating it and its folder when missing.
  // An empty path keeps no file.
  Journal(const HostServices& host, const std::string& path);

  // False when the file could not be opened or a write failed.
  bool Ok() const { return ok_; }
  void SetEcho(Echo echo) { echo_ = std::move(echo); }
  void Write(const std::string& line);

 private:
  std::unique_ptr<ByteSink> file_;
  bool ok_ = true;
  Echo echo_;
};

}  // namespace zelko::emulator
