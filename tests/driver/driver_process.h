#pragma once

// Runs the built ZelkoDriver in a temporary ZELKO_ROOT with a clean environment.

#include <string>
#include <vector>

namespace zelko::testing {

struct DriverOutcome {
  int exitStatus = -1;
  std::string standardError;
};

// A fresh folder under the system's temporary folder, removed again at the end.
class TemporaryRoot {
 public:
  TemporaryRoot();
  ~TemporaryRoot();
  TemporaryRoot(const TemporaryRoot&) = delete;
  TemporaryRoot& operator=(const TemporaryRoot&) = delete;

  const std::string& Path() const { return path_; }
  // Writes a file at a path relative to the root, making its folders.
  void Write(const std::string& relative, const std::string& bytes) const;
  // The file's bytes; "<missing>" when there is none.
  std::string Read(const std::string& relative) const;
  void MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

// `environment`: "NAME=value" entries on top of HOME and PATH; the sanitizer
// options of this process are passed on. Standard input is /dev/null.
DriverOutcome RunDriver(const std::vector<std::string>& environment, const std::vector<std::string>& arguments,
                        const std::string& workingFolder);
// The same, with standard error on a pseudo-terminal, as when a person runs the driver by hand.
DriverOutcome RunDriverOnTerminal(const std::vector<std::string>& environment, const std::string& workingFolder);

}  // namespace zelko::testing
