#include "child_process.h"

#include <fcntl.h>
#include <stdlib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <cstring>
#include <thread>

#include "file_bytes.h"
#include "temp_folder.h"

extern char** environ;

namespace zelko::testing {

namespace {

std::vector<std::string> EnvironmentEntries(const Environment& environment) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string name(text.substr(0, text.find('=')));
    if (!name.starts_with("ZELKO_") && !environment.contains(name)) entries.emplace_back(text);
  }
  for (const auto& [name, value] : environment) entries.push_back(name + "=" + value);
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

bool RunsAsAnotherUser() { return geteuid() == 0; }

Command AsUnprivilegedUser(const std::string& program, std::vector<std::string> arguments) {
  if (!RunsAsAnotherUser()) return {program, std::move(arguments)};
  std::vector<std::string> words{"--reuid=65534", "--regid=65534", "--clear-groups", "--", program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  return {"/usr/bin/setpriv", std::move(words)};
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                                                  const Environment& environment, const std::string& outputPath,
                                                  const std::string& workingFolder) {
  std::vector<std::string> entries = EnvironmentEntries(environment);
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());

  int input[2];
  if (pipe2(input, O_CLOEXEC) != 0) return nullptr;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  if (!outputPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  pid_t pid = 0;
  const int failed =
      posix_spawn(&pid, program.c_str(), &actions, nullptr, Pointers(words).data(), Pointers(entries).data());
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  if (failed != 0) {
    close(input[1]);
    return nullptr;
  }
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid, input[1]));
}

ChildProcess::~ChildProcess() {
  CloseInput();
  if (!status_) {
    kill(pid_, SIGKILL);
    Reap(0);
  }
}

bool ChildProcess::Write(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(input_, text.data(), text.size());
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void ChildProcess::CloseInput() {
  if (input_ >= 0) close(input_);
  input_ = -1;
}

// True once the program has ended and its status is kept.
bool ChildProcess::Reap(int options) {
  int raw = 0;
  rusage usage{};
  pid_t done = 0;
  while ((done = wait4(pid_, &raw, options, &usage)) < 0 && errno == EINTR) {
  }
  if (done != pid_) return false;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  maxResidentKb_ = usage.ru_maxrss;
  return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!status_ && !Reap(WNOHANG) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return status_;
}

void ChildProcess::Terminate() {
  if (!status_) kill(pid_, SIGTERM);
}

void ChildProcess::Kill() {
  if (!status_) kill(pid_, SIGKILL);
  Wait(std::chrono::seconds(5));
}

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const Environment& environment, const std::string& workingFolder, const std::string& outputPath,
                     std::chrono::milliseconds timeout) {
  const TempFolder captured;
  const std::string output = outputPath.empty() ? captured.File("output") : outputPath;
  ChildResult result;
  const auto start = std::chrono::steady_clock::now();
  const auto child = ChildProcess::Start(program, arguments, environment, output, workingFolder);
  if (!child) return result;
  child->CloseInput();
  const std::optional<int> status = child->Wait(timeout);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.exitStatus = status.value_or(-1);
  result.maxResidentKb = child->MaxResidentKb();
  if (outputPath.empty()) result.output = ReadBytes(output);
  return result;
}

ChildResult RunChildOnTerminal(const std::string& program, const std::vector<std::string>& arguments,
                               const Environment& environment, const std::string& workingFolder) {
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) {
    throw std::runtime_error("cannot open a pseudo-terminal");
  }
  const std::string side = ptsname(terminal);
  // Held open until the program has it, so that the terminal's reads end only once the program has gone.
  const int sideHeld = open(side.c_str(), O_RDWR | O_NOCTTY);
  ChildResult result;
  const auto start = std::chrono::steady_clock::now();
  const auto child = ChildProcess::Start(program, arguments, environment, side, workingFolder);
  close(sideHeld);
  if (child) {
    child->CloseInput();
    // Read while it runs, so that a full terminal buffer never holds it up.
    char buffer[4096];
    for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;) {
      result.output.append(buffer, static_cast<std::size_t>(count));
    }
    result.exitStatus = child->Wait(std::chrono::minutes(10)).value_or(-1);
    result.maxResidentKb = child->MaxResidentKb();
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  close(terminal);
  return result;
}

}  // namespace zelko::testing
