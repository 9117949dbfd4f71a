#pragma once

#include <string>

namespace zelko {

// The file a class's InprocServer32 names, as COM finds it: without quotes
// and, when it names no folder, found along the DLL search path. Empty when
// there is no such file.
std::wstring LocateServerFile(const std::wstring& registered);

// Whether this process can load an in-process server file as COM loads it.
struct ServerLoad {
  enum class Outcome { kLoaded, kOtherProcessor, kMissingDependency, kFailed };
  Outcome outcome = Outcome::kFailed;
  // kOtherProcessor: the file's processor, e.g. "x64 (64 bit)";
  // kMissingDependency: the DLL that cannot be found; kFailed: the loader's error.
  std::string detail;
  // kMissingDependency: the file that imports it (the server or one of its dependencies).
  std::string neededBy;
};

ServerLoad CheckServerLoad(const std::wstring& path);

}  // namespace zelko
