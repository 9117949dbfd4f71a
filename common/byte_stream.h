#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zelko {

// A file opened for reading, as raw bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to `size` bytes; 0 at the end of the file or on a read error.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  // True once a read has failed (as opposed to reaching the end).
  virtual bool Failed() const = 0;
};

// A file opened for writing, as raw bytes. Destroying it without Commit()
// closes it; an atomic replacement is then abandoned and the target left alone.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(std::string_view bytes) = 0;
  // Flushes and closes (and renames, for an atomic replacement); false on any failure.
  virtual bool Commit() = 0;
};

// A source that hands out these bytes.
std::unique_ptr<ByteSource> SourceOf(std::string bytes);

// Everything the source holds; empty when there is no source or a read fails.
std::optional<std::string> ReadAll(std::unique_ptr<ByteSource> source);

}  // namespace zelko
