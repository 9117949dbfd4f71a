#include "driver_process.h"

#include <fcntl.h>
#include <stdlib.h>
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

namespace {

// The child's side: standard input from /dev/null, standard error to `errorFile`.
[[noreturn]] void StartDriver(std::vector<std::string> environment, const std::vector<std::string>& arguments,
                              const std::string& workingFolder, const std::string& errorFile) {
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
  const int input = open("/dev/null", O_RDONLY);
  const int error = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY, 0600);
  if (input < 0 || error < 0 || dup2(input, 0) < 0 || dup2(error, 2) < 0 || chdir(workingFolder.c_str()) != 0) {
    _exit(127);
  }
  execve(program.c_str(), argv.data(), envp.data());
  _exit(127);
}

int ExitStatus(pid_t child) {
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) return WEXITSTATUS(status);
  return -1;
}

}  // namespace

DriverOutcome RunDriver(const std::vector<std::string>& environment, const std::vector<std::string>& arguments,
                        const std::string& workingFolder) {
  const std::string errorPath = workingFolder + "/.driver-stderr";
  const pid_t child = fork();
  if (child == 0) StartDriver(environment, arguments, workingFolder, errorPath);
  DriverOutcome outcome;
  outcome.exitStatus = ExitStatus(child);
  std::ifstream errorFile(errorPath, std::ios::binary);
  std::ostringstream text;
  text << errorFile.rdbuf();
  outcome.standardError = text.str();
  std::remove(errorPath.c_str());
  return outcome;
}

DriverOutcome RunDriverOnTerminal(const std::vector<std::string>& environment, const std::string& workingFolder) {
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
    throw std::runtime_error("cannot open a pseudo-terminal");
  }
  const std::string side = ptsname(terminal);
  // Held open across the fork, so that the terminal reads end only once the driver has gone.
  const int sideHeld = open(side.c_str(), O_RDWR | O_NOCTTY);
  const pid_t child = fork();
  if (child == 0) StartDriver(environment, {}, workingFolder, side);
  close(sideHeld);
  // Read while it runs, so that a full terminal buffer never holds the driver up.
  DriverOutcome outcome;
  char buffer[4096];
  for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;) outcome.standardError.append(buffer, count);
  close(terminal);
  outcome.exitStatus = ExitStatus(child);
  return outcome;
}

}  // namespace zelko::testing
