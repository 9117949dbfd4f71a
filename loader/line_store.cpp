#include "line_store.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zelko {

namespace {
// A whole number of 2 MiB pages, so that huge pages can back a block.
constexpr std::size_t kBlockSize = 4u << 20;
constexpr std::string_view kLineEnd = "\r\n";
}  // namespace

LineStore::~LineStore() {
  for (const Block& block : blocks_) memory_->deallocate(block.data, block.capacity);
}

LineStore::LineStore(LineStore&& other) noexcept
    : memory_(other.memory_), blocks_(std::move(other.blocks_)), lineCount_(other.lineCount_) {
  other.blocks_.clear();
  other.lineCount_ = 0;
}

LineStore& LineStore::operator=(LineStore&& other) noexcept {
  std::swap(memory_, other.memory_);
  std::swap(blocks_, other.blocks_);
  std::swap(lineCount_, other.lineCount_);
  return *this;
}

void LineStore::StartBlock(std::size_t length) {
  const std::size_t capacity = std::max(kBlockSize, length);
  blocks_.reserve(blocks_.size() + 1);
  blocks_.push_back({static_cast<char*>(memory_->allocate(capacity)), 0, capacity});
}

void LineStore::Put(std::string_view bytes) {
  Block& block = blocks_.back();
  std::memcpy(block.data + block.size, bytes.data(), bytes.size());
  block.size += bytes.size();
}

void LineStore::Append(std::initializer_list<std::string_view> pieces) {
  std::size_t length = 0;
  for (const auto piece : pieces) length += piece.size();
  if (!blocks_.empty() && blocks_.back().capacity - blocks_.back().size >= kLineEnd.size() + length) {
    Put(kLineEnd);
  } else {
    StartBlock(length);
  }
  for (const auto piece : pieces) Put(piece);
  ++lineCount_;
}

std::vector<std::string_view> LineStore::Blocks() const {
  std::vector<std::string_view> views;
  for (const Block& block : blocks_) views.emplace_back(block.data, block.size);
  return views;
}

}  // namespace zelko
