#pragma once

#include <cstddef>

namespace zelko {

// Watches a run send its command lines.
class RunProgress {
 public:
  virtual ~RunProgress() = default;
  // The first pass has counted the command lines.
  virtual void CommandsToSend(std::size_t total) = 0;
  // The register executed one more of them.
  virtual void CommandSent() = 0;
};

}  // namespace zelko
