#include "line_store.h"

#include <algorithm>

namespace zelko {

namespace {
constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::string_view kLineEnd = "\r\n";
}  // namespace

void LineStore::Append(std::initializer_list<std::string_view> pieces) {
  std::size_t length = 0;
  for (const auto piece : pieces) length += piece.size();
  const bool fits = !blocks_.empty() &&
                    blocks_.back().size() + kLineEnd.size() + length <= blocks_.back().capacity();
  if (fits) {
    blocks_.back() += kLineEnd;
  } else {
    blocks_.emplace_back().reserve(std::max(kBlockSize, length));
  }
  for (const auto piece : pieces) blocks_.back() += piece;
  ++lineCount_;
}

}  // namespace zelko
