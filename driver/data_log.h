#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

#include "host_services.h"
#include "text_file.h"

namespace zelko {

// What one run writes to the data file at most, CR LF included: a register
// that floods the driver with data cannot fill the disk.
inline constexpr std::size_t kDataLogMaxLines = 100000;
inline constexpr std::size_t kDataLogMaxBytes = 16 * 1024 * 1024;

// The register data file: emptied by the first data of a run, one line per
// data notification, open until the run ends. The receipt does not depend on
// it: data that cannot be written, or that goes beyond the limits above, is
// dropped, and that is told once a run.
class DataLog {
 public:
  DataLog(const HostServices& host, std::ostream& diagnostics) : host_(host), diagnostics_(diagnostics) {}

  // Makes the log ready for a run that writes to `path`; nothing is created yet.
  void Start(std::string path);
  void Write(const std::string& text);
  // Closes the file when this run opened it.
  void Close();

 private:
  void TellFault(const char* what);
  // Counts the line against the run's limits; false once they are reached.
  bool WithinLimits(std::size_t lineBytes);

  const HostServices& host_;
  std::ostream& diagnostics_;
  std::string path_;
  bool opened_ = false;  // the first data of the run came
  bool faultTold_ = false;
  std::size_t lines_ = 0;
  std::size_t bytes_ = 0;
  bool full_ = false;
  std::unique_ptr<TextWriter> file_;
};

}  // namespace zelko
