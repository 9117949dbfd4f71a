#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace zelko {

// A stream that passes lines on to `target` with `prefix` before each one
// ("ZelkoDriver: "), a whole line at a time: the shared code writes plain
// diagnostics lines and each program says whose they are.
class PrefixedLines final : public std::ostream {
 public:
  PrefixedLines(std::ostream& target, std::string prefix);
  ~PrefixedLines() override;
  PrefixedLines(const PrefixedLines&) = delete;
  PrefixedLines& operator=(const PrefixedLines&) = delete;

 private:
  class Buffer final : public std::streambuf {
   public:
    Buffer(std::ostream& target, std::string prefix) : target_(target), prefix_(std::move(prefix)) {}
    // Passes on what is left of an unfinished line.
    void Finish();

   protected:
    int_type overflow(int_type c) override;

   private:
    std::ostream& target_;
    std::string prefix_;
    std::string line_;
  };

  Buffer buffer_;
};

}  // namespace zelko
