#include "driver_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zelko::testing {

namespace fs = std::filesystem;

TemporaryRoot::TemporaryRoot() {
  std::string pattern = (fs::temp_directory_path() / "zelko-driver-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

TemporaryRoot::~TemporaryRoot() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void TemporaryRoot::Write(const std::string& relative, const std::string& bytes) const {
  const fs::path file = fs::path(path_) / relative;
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string TemporaryRoot::Read(const std::string& relative) const {
  std::ifstream file(fs::path(path_) / relative, std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void TemporaryRoot::MakeFolder(const std::string& relative) const { fs::create_directories(fs::path(path_) / relative); }

DriverOutcome RunDriver(const std::vector<std::string>& environment, const std::vector<std::string>& arguments,
                        const std::string& workingFolder) {
  std::vector<std::string> entries = {"PATH=/usr/bin:/bin"};
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) entries.push_back(std::string(name) + "=" + value);
  }
  entries.insert(entries.end(), environment.begin(), environment.end());
  std::vector<char*> envp;
  for (auto& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string program = ZELKO_DRIVER_PATH;
  std::vector<std::string> argumentCopies = arguments;
  std::vector<char*> argv = {program.data()};
  for (auto& argument : argumentCopies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const std::string errorPath = workingFolder + "/.driver-stderr";

  const pid_t child = fork();
  if (child == 0) {
    const int input = open("/dev/null", O_RDONLY);
    const int error = open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (input < 0 || error < 0 || dup2(input, 0) < 0 || dup2(error, 2) < 0 || chdir(workingFolder.c_str()) != 0) {
      _exit(127);
    }
    execve(program.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  DriverOutcome outcome;
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
  std::ifstream errorFile(errorPath, std::ios::binary);
  std::ostringstream text;
  text << errorFile.rdbuf();
  outcome.standardError = text.str();
  std::remove(errorPath.c_str());
  return outcome;
}

}  // namespace zelko::testing
