#pragma once

// The folders of an end-to-end run: the program folder with a copy of the
// built PLUZELKO (config.cmd goes beside it), a data folder for article files,
// and the drives under ZELKO_ROOT.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

namespace zelko::testing {

class PluzelkoFolders {
 public:
  PluzelkoFolders() {
    folder_.MakeFolder("program");
    folder_.MakeFolder("data");
    std::filesystem::copy_file(PLUZELKO_PATH, program() + "/PLUZELKO");
  }
  std::string program() const { return folder_.File("program"); }
  std::string data() const { return folder_.File("data"); }
  std::string root() const { return folder_.File("root"); }
  std::string drive() const { return root() + "/c"; }

  // Runs PLUZELKO with these arguments.
  ChildResult Run(const std::vector<std::string>& arguments) const {
    std::vector<std::string> placed;
    for (const auto& argument : arguments) placed.push_back(Placed(argument));
    return RunChild(program() + "/PLUZELKO", placed, Environment({}));
  }
  // ZELKO_ROOT for the temporary drives, and the entries given.
  testing::Environment Environment(testing::Environment entries) const {
    entries["ZELKO_ROOT"] = root();
    return entries;
  }
  // "{data}" in a text stands for the data folder.
  std::string Placed(std::string text) const {
    if (const auto at = text.find("{data}"); at != std::string::npos) text.replace(at, 6, data());
    return text;
  }
  std::optional<std::string> DriveFile(const std::string& name) const {
    if (!folder_.Exists("root/c/" + name)) return std::nullopt;
    return folder_.Read("root/c/" + name);
  }

 private:
  TempFolder folder_;
};

}  // namespace zelko::testing
