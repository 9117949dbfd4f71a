#pragma once

#include <string>

namespace zelko {

// An error's number with the system's text for it, for one-line reports:
// "0x800401F3 (Invalid class string)", "error 126 (The specified module could
// not be found)". Without a text from the system, the number alone.
std::string HresultText(long code);
std::string LastErrorText(unsigned long code);

// A call that failed, e.g. "CreateWindowExA(ZelkoForm)", and its error as above.
struct FailedCall {
  std::string call;
  std::string error;
};

}  // namespace zelko
