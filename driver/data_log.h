#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "host_services.h"
#include "text_file.h"

namespace zelko {

// The register data file: emptied by the first data of a run, one line per
// data notification, open until the run ends. The receipt does not depend on
// it: data that cannot be written is dropped, and that is told once a run.
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

  const HostServices& host_;
  std::ostream& diagnostics_;
  std::string path_;
  bool opened_ = false;  // the first data of the run came
  bool faultTold_ = false;
  std::unique_ptr<TextWriter> file_;
};

}  // namespace zelko
