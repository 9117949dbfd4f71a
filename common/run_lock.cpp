#include "run_lock.h"

#include <cstdint>
#include <ostream>

#include "text.h"

namespace zelko {

namespace {

// FNV-1a, 64 bits: stable across runs, programs and platforms.
std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string Hex(std::uint64_t value) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return text;
}

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

}  // namespace

std::string RunLockName(std::string_view fullPath) {
  const std::string folded = ToLowerAscii(fullPath);
  const std::size_t separator = folded.find_last_of("\\/:");
  std::string name = folded.substr(separator == std::string::npos ? 0 : separator + 1, 64);
  for (char& c : name) {
    if (!IsNameCharacter(c)) c = '_';
  }
  return Hex(Fnv1a(folded)) + "-" + name + ".lock";
}

std::unique_ptr<RunLock> LockRunsOn(const HostServices& host, const std::string& path, std::ostream& diagnostics) {
  auto lock = host.LockForRun(path);
  if (!lock) diagnostics << "the run lock of \"" << path << "\" cannot be had; running without it\n";
  return lock;
}

}  // namespace zelko
