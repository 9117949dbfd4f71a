#pragma once

// The folders of an end-to-end run: the program folder with a copy of the
// built PLUZELKO (config.cmd goes beside it), a data folder for article files,
// and the drives under ZELKO_ROOT.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "test_files.h"

namespace zelko::testing {

class PluzelkoFolders {
 public:
  PluzelkoFolders() {
    std::filesystem::create_directories(program());
    std::filesystem::create_directories(data());
    std::filesystem::copy_file(PLUZELKO_PATH, program() + "/PLUZELKO");
  }
  std::string program() const { return folder_ / "program"; }
  std::string data() const { return folder_ / "data"; }
  std::string root() const { return folder_ / "root"; }
  std::string drive() const { return root() + "/c"; }

  // Runs PLUZELKO with these arguments.
  ChildResult Run(const std::vector<std::string>& arguments) const {
    std::vector<std::string> all = {program() + "/PLUZELKO"};
    for (const auto& argument : arguments) all.push_back(Placed(argument));
    return RunChild(all, Environment({}));
  }
  // ZELKO_ROOT for the temporary drives, then the entries given.
  std::vector<std::string> Environment(std::vector<std::string> entries) const {
    entries.insert(entries.begin(), "ZELKO_ROOT=" + root());
    return entries;
  }
  // "{data}" in a text stands for the data folder.
  std::string Placed(std::string text) const {
    if (const auto at = text.find("{data}"); at != std::string::npos) text.replace(at, 6, data());
    return text;
  }
  std::optional<std::string> DriveFile(const std::string& name) const {
    const std::string path = drive() + "/" + name;
    if (!std::filesystem::exists(path)) return std::nullopt;
    return test::ReadBytes(path);
  }

 private:
  test::TempFolder folder_;
};

}  // namespace zelko::testing
