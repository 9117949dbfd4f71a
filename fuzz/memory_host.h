#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"
#include "host_services.h"

namespace zelko::fuzzing {

// Reads bytes held in memory, handing them out at most `piece` at a time, so
// that line ends fall on every possible read boundary.
class MemorySource : public ByteSource {
 public:
  MemorySource(std::string_view bytes, std::size_t piece) : bytes_(bytes), piece_(piece == 0 ? 1 : piece) {}
  std::size_t Read(char* buffer, std::size_t size) override;
  bool Failed() const override { return false; }

 private:
  std::string_view bytes_;
  std::size_t piece_;
};

// Appends whatever is written to a string.
class MemorySink : public ByteSink {
 public:
  explicit MemorySink(std::string& bytes) : bytes_(bytes) {}
  bool Write(std::string_view bytes) override;
  bool Commit() override { return true; }

 private:
  std::string& bytes_;
};

// Host services over files in memory, keyed by the exact path.
class MemoryHost : public HostServices {
 public:
  mutable std::map<std::string, std::string> files;
  std::size_t readPiece = 4096;

  std::optional<WindowsVersion> WindowsVersionNumbers() const override { return std::nullopt; }
  std::vector<std::string> EnvironmentEntries() const override { return {}; }
  std::string OwnFolder() const override { return "c:\\fuzz"; }
  std::string CommandLineText() const override { return {}; }
  bool IsOrdinaryFile(const std::string& path) const override { return files.contains(path); }
  bool IsSameFile(const std::string& a, const std::string& b) const override { return a == b && files.contains(a); }
  std::unique_ptr<ByteSource> OpenRead(const std::string& path) const override;
  std::unique_ptr<ByteSink> Create(const std::string& path, CreateMode mode) const override;
  std::unique_ptr<RunLock> LockForRun(const std::string&) const override { return std::make_unique<RunLock>(); }
};

}  // namespace zelko::fuzzing
