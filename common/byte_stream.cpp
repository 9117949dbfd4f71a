#include "byte_stream.h"

#include <algorithm>
#include <cstring>

namespace zelko {

namespace {

class BytesSource final : public ByteSource {
 public:
  explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
  }
  bool Failed() const override { return false; }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> SourceOf(std::string bytes) { return std::make_unique<BytesSource>(std::move(bytes)); }

std::optional<std::string> ReadAll(std::unique_ptr<ByteSource> source) {
  if (!source) return std::nullopt;
  std::string bytes;
  char buffer[16 * 1024];
  while (const std::size_t got = source->Read(buffer, sizeof buffer)) bytes.append(buffer, got);
  if (source->Failed()) return std::nullopt;
  return bytes;
}

}  // namespace zelko
