#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

namespace zelko::testing {

// A program started by a test, its standard output and error in a file of
// its own in `folder` ("<name>-<n>.out").
class RunningProgram {
 public:
  RunningProgram(const TempFolder& folder, const std::string& name, const std::string& program,
                 const std::vector<std::string>& arguments, const Environment& environment = {});

  bool Started() const { return process_ != nullptr; }
  ChildProcess& Process() { return *process_; }
  std::string Output() const { return folder_.Read(output_); }
  // True once the output holds `text`; false at the deadline, or when the
  // program has ended without writing it.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

 private:
  static inline int started_ = 0;
  const TempFolder& folder_;
  std::string output_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace zelko::testing
