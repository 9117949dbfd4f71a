#pragma once

#include <string>

namespace zelko {

// One finding of a check at a till, for the technician who installs it.
struct Finding {
  std::string id;      // stable, e.g. "files" or "control.operation.SendQuery"
  bool ok = false;
  std::string text;    // one line, Italian
  std::string remedy;  // what to do, Italian; empty when ok
};

}  // namespace zelko
