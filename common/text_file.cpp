#include "text_file.h"

#include <utility>

namespace zelko {

namespace {
constexpr std::size_t kChunk = 64 * 1024;
}

TextReader::TextReader(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

bool TextReader::Fill() {
  if (atEnd_) return false;
  buffer_.erase(0, position_);
  position_ = 0;
  const std::size_t old = buffer_.size();
  buffer_.resize(old + kChunk);
  const std::size_t got = source_->Read(buffer_.data() + old, kChunk);
  buffer_.resize(old + got);
  if (got == 0) atEnd_ = true;
  return got != 0;
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  std::size_t scanFrom = position_;
  for (;;) {
    const std::size_t cr = buffer_.find('\r', scanFrom);
    if (cr != std::string::npos) {
      // A CR as the last buffered byte may be the first half of CR LF.
      if (cr + 1 == buffer_.size() && !atEnd_) {
        const std::size_t offset = cr - position_;
        Fill();
        scanFrom = position_ + offset;
        continue;
      }
      line.assign(buffer_, position_, cr - position_);
      position_ = cr + 1;
      if (position_ < buffer_.size() && buffer_[position_] == '\n') ++position_;
      return true;
    }
    const std::size_t offset = buffer_.size() - position_;
    if (!Fill()) break;
    scanFrom = position_ + offset;
  }
  if (position_ == buffer_.size()) return false;
  line.assign(buffer_, position_, std::string::npos);
  position_ = buffer_.size();
  return true;
}

bool TextReader::Failed() const { return source_->Failed(); }

TextWriter::TextWriter(std::unique_ptr<ByteSink> sink) : sink_(std::move(sink)) {}

bool TextWriter::WriteLine(std::string_view line) {
  ok_ = ok_ && sink_->Write(line) && sink_->Write("\r\n");
  return ok_;
}

bool TextWriter::Close() {
  const bool committed = sink_->Commit();
  ok_ = ok_ && committed;
  return ok_;
}

}  // namespace zelko
