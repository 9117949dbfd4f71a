#include "prefixed_lines.h"

namespace zelko {

PrefixedLines::PrefixedLines(std::ostream& target, std::string prefix)
    : std::ostream(nullptr), buffer_(target, std::move(prefix)) {
  rdbuf(&buffer_);
}

PrefixedLines::~PrefixedLines() { buffer_.Finish(); }

void PrefixedLines::Buffer::Finish() {
  if (line_.empty()) return;
  target_ << prefix_ << line_ << std::flush;
  line_.clear();
}

PrefixedLines::Buffer::int_type PrefixedLines::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  line_ += traits_type::to_char_type(c);
  if (line_.back() == '\n') Finish();
  return c;
}

}  // namespace zelko
