#pragma once

#include <string>

namespace zelko::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents at the end. Relative names may hold "/" for sub-folders.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The path of `relative` inside the folder.
  std::string File(const std::string& relative) const;
  // Writes the file, making its folders; returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const;
  // The file's bytes; empty when there is none.
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // Makes the folder and those above it; returns its path.
  std::string MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace zelko::testing
