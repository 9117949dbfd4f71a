// One run at a time: a second ZelkoDriver or PLUZELKO waits for the first,
// also when the first is killed, and neither run's result is lost.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

#include "hardening_test.h"

namespace zelko::hardening {
namespace {

// True while some process holds the lock on the file.
bool LockIsHeld(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// What the writers put into the named pipe, read until `size` bytes came or
// 30 s passed. The read end stays open throughout, so a writer that opens the
// pipe while an earlier one is finishing adds to the same stream instead of
// waiting for a reader that never comes.
std::string ReadPipe(const std::string& path, std::size_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  std::string bytes;
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (fd >= 0 && bytes.size() < size && std::chrono::steady_clock::now() < deadline) {
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      bytes.append(buffer, static_cast<std::size_t>(got));
    } else {
      std::this_thread::sleep_for(10ms);  // no writer right now, or nothing written yet
    }
  }
  if (fd >= 0) ::close(fd);
  return bytes;
}

// The operation and text of each journal line, without results and replies.
std::vector<std::string> Operations(const std::string& journal) {
  std::vector<std::string> operations;
  std::istringstream lines(journal);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t second = line.find('\t', line.find('\t') + 1);
    operations.push_back(line.substr(0, second));
  }
  return operations;
}

const std::vector<std::string> kOneRun = {
    "ClosePort\t",          "HighSpeed\ttrue",   "OpenPort\t1",
    "SendCommand\t=K",      "SendQuery\t<</?s",  "SendCommand\t=D1/(  ZELKO  Collegato )",
    "SendQuery\t<</?f",     "SendQuery\t<</?s",  "SendCommand\t=T1/$100",
    "SendCommand\t=S",      "SendQuery\t<</?s",  "ClosePort\t"};

TEST_F(HardeningTest, SecondDriverWaitsForTheFirstAndBothResultsAreKept) {
  WriteReceipt({"=T1/$100", "=S"});
  // The first run waits, asking the register again every second, until the cover is closed.
  auto emulator = StartEmulator("cover open");
  auto first = ChildProcess::Start(ZELKO_DRIVER_PATH, {"c:\\first.out"},
                                   {{"ZELKO_ROOT", folder_.File("root")},
                                    {"ZELKO_CONTROL", "tcp:127.0.0.1:" + emulator->Port()},
                                    {"ZELKO_OPERATOR", "unattended"}},
                                   folder_.File("first.out"));
  ASSERT_TRUE(emulator->WaitForOutput("SendQuery\t<</?s\t0\t0103")) << emulator->Output();
  // Were it not kept waiting, the second run would find the register busy
  // with the first and its own short timeout would end it.
  auto second = ChildProcess::Start(ZELKO_DRIVER_PATH, {"c:\\second.out"},
                                    {{"ZELKO_ROOT", folder_.File("root")},
                                     {"ZELKO_CONTROL", "tcp:127.0.0.1:" + emulator->Port()},
                                     {"ZELKO_CONTROL_TIMEOUT_MS", "500"},
                                     {"ZELKO_OPERATOR", "unattended"}},
                                    folder_.File("second.out"));
  EXPECT_EQ(second->Wait(1500ms), std::nullopt);
  ASSERT_TRUE(emulator->Console("cover close", "console\tcover closed"));
  EXPECT_EQ(first->Wait(30s), 0) << folder_.Read("first.out");
  EXPECT_EQ(second->Wait(30s), 0) << folder_.Read("second.out");
  EXPECT_EQ(Root("c/first.out").substr(4), "\r\nOK\r\n");
  EXPECT_EQ(Root("c/second.out").substr(4), "\r\nOK\r\n");
  EXPECT_EQ(emulator->Stop(), 0);
  // The first run to its end, then the second whole.
  const std::vector<std::string> operations = Operations(Journal());
  ASSERT_GT(operations.size(), 2 * kOneRun.size()) << Journal();
  const auto secondStart = operations.end() - static_cast<std::ptrdiff_t>(kOneRun.size());
  EXPECT_EQ(std::vector<std::string>(secondStart, operations.end()), kOneRun) << Journal();
  EXPECT_EQ(std::vector<std::string>(secondStart - 4, secondStart),
            std::vector<std::string>(kOneRun.end() - 4, kOneRun.end()))
      << Journal();
  EXPECT_EQ(std::count(operations.begin(), operations.end(), "OpenPort\t1"), 2) << Journal();
}

TEST_F(HardeningTest, KilledDriverReleasesItsLock) {
  WriteReceipt({"=T1/$100", "=S"});
  const std::map<std::string, std::string> environment = {{"ZELKO_ROOT", folder_.File("root")},
                                                          {"ZELKO_CONTROL", "emulator"},
                                                          {"ZELKO_OPERATOR", "unattended"}};
  auto stuck = environment;
  stuck["ZELKO_EMULATOR_SCENARIO"] = folder_.Write("stuck.txt", "on prefix =T1 delay 60000");
  auto first = ChildProcess::Start(ZELKO_DRIVER_PATH, {}, stuck, folder_.File("first.out"));
  ASSERT_TRUE(WaitUntil([&] { return Root("emulator/journal.txt").find("=D1/(") != std::string::npos; }));
  auto second = ChildProcess::Start(ZELKO_DRIVER_PATH, {}, environment, folder_.File("second.out"));
  EXPECT_EQ(second->Wait(300ms), std::nullopt) << "the second run waits while the first holds the lock";
  EXPECT_EQ(Root("c/SCONTRINO.OUT"), "");
  first.reset();  // SIGKILL
  EXPECT_EQ(second->Wait(30s), 0) << folder_.Read("second.out");
  EXPECT_EQ(Result().substr(4), "\r\nOK\r\n");
}

// The loader's output is a named pipe here, so that a run holds its lock,
// blocked on opening the output, until the test reads it.
class LoaderLockTest : public HardeningTest {
 protected:
  LoaderLockTest() {
    std::filesystem::create_directories(folder_.File("bin"));
    std::filesystem::copy_file(ZELKO_LOADER_PATH, folder_.File("bin/PLUZELKO"));
    folder_.Write("bin/config.cmd", "");
    ::mkfifo(folder_.File("root/c/Scontrino.inp").c_str(), 0600);
  }

  std::unique_ptr<ChildProcess> StartLoader(const std::string& articles, const std::string& output) {
    return ChildProcess::Start(folder_.File("bin/PLUZELKO"), {folder_.Write(output + ".art", articles)},
                               {{"ZELKO_ROOT", folder_.File("root")}}, folder_.File(output));
  }

  // A command file with one article of the given description.
  static std::string Article(const std::string& description) {
    return "11000000001234" + description + std::string(20 - description.size(), ' ') + "00000150  01X\r\n";
  }
  static std::string Expected(const std::string& description) {
    return "1\r\n115200,n,8,1\r\n7\r\n=t/*1\r\n=C4\r\n=D1/(Carico Avviato)\r\n>>/?P/(110000000001234" + description +
           std::string(20 - description.size(), ' ') + "00000150019)\r\n=C1\r\n=t/*0\r\n=D1/(Carico Completato)\r\n";
  }

  bool FirstHoldsTheLock() const {
    return WaitUntil([&] { return LockIsHeld(folder_.File("root/c/Scontrino.inp.lock")); });
  }
};

TEST_F(LoaderLockTest, SecondLoaderWaitsForTheFirstAndBothOutputsAreWhole) {
  auto first = StartLoader(Article("PRIMO"), "first.out");
  ASSERT_TRUE(FirstHoldsTheLock());
  auto second = StartLoader(Article("SECONDO"), "second.out");
  EXPECT_EQ(second->Wait(300ms), std::nullopt);
  // Two writers at once would mix their lines in what is read here.
  const std::string both = Expected("PRIMO") + Expected("SECONDO");
  EXPECT_EQ(ReadPipe(folder_.File("root/c/Scontrino.inp"), both.size()), both);
  EXPECT_EQ(first->Wait(30s), 0) << folder_.Read("first.out");
  EXPECT_EQ(second->Wait(30s), 0) << folder_.Read("second.out");
}

TEST_F(LoaderLockTest, KilledLoaderReleasesItsLock) {
  auto first = StartLoader(Article("PRIMO"), "first.out");
  ASSERT_TRUE(FirstHoldsTheLock());
  auto second = StartLoader(Article("SECONDO"), "second.out");
  EXPECT_EQ(second->Wait(300ms), std::nullopt);
  first.reset();  // SIGKILL
  EXPECT_EQ(ReadPipe(folder_.File("root/c/Scontrino.inp"), Expected("SECONDO").size()), Expected("SECONDO"));
  EXPECT_EQ(second->Wait(30s), 0) << folder_.Read("second.out");
}

}  // namespace
}  // namespace zelko::hardening
