#pragma once

#include <string>
#include <vector>

namespace zelko::testing {

struct ChildResult {
  int exitStatus = -1;        // the exit status, or -1 when the child did not exit normally
  long maxResidentKb = 0;     // the child's peak resident memory
  double seconds = 0;         // wall-clock time from start to end
};

// Runs a program with exactly these arguments (the first is its name) and
// environment entries, and waits for it. Standard output goes to
// `outputPath` when one is given.
ChildResult RunChild(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                     const std::string& outputPath = {});

}  // namespace zelko::testing
