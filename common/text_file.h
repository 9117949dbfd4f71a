#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "byte_stream.h"

namespace zelko {

// Reads single-byte text line by line. A line ends at CR LF or at a lone CR;
// a lone LF is an ordinary character; a last line without terminator counts;
// the terminator that closes the last line creates no further line.
class TextReader {
 public:
  explicit TextReader(std::unique_ptr<ByteSource> source);
  // False at the end of the file (or on a read error, see Failed()).
  bool ReadLine(std::string& line);
  bool Failed() const;

 private:
  bool Fill();

  std::unique_ptr<ByteSource> source_;
  std::string buffer_;
  std::size_t position_ = 0;
  bool atEnd_ = false;
};

// Writes lines, each ended by CR LF, bytes passed through unchanged.
class TextWriter {
 public:
  explicit TextWriter(std::unique_ptr<ByteSink> sink);
  bool WriteLine(std::string_view line);
  // False when any write or the close failed.
  bool Close();

 private:
  std::unique_ptr<ByteSink> sink_;
  bool ok_ = true;
};

}  // namespace zelko
