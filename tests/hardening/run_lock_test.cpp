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
#include "run_lock.h"

namespace zelko::hardening {
namespace {

bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
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

// The lock of "C:\Scontrino.inp", held by the test as a driver run would hold
// it: in the lock folder of ZELKO_ROOT, nothing beside the command file.
class CommandFileLock {
 public:
  explicit CommandFileLock(const std::string& path)
      : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
  }
  ~CommandFileLock() { Release(); }
  CommandFileLock(const CommandFileLock&) = delete;
  CommandFileLock& operator=(const CommandFileLock&) = delete;
  void Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class LoaderLockTest : public HardeningTest {
 protected:
  LoaderLockTest() {
    std::filesystem::create_directories(folder_.File("bin"));
    std::filesystem::copy_file(ZELKO_LOADER_PATH, folder_.File("bin/PLUZELKO"));
    folder_.Write("bin/config.cmd", "");
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
};

TEST_F(LoaderLockTest, LoaderWaitsWhileTheCommandFileIsLockedThenWritesItWhole) {
  folder_.Write("root/c/Scontrino.inp", "an earlier file\r\n");
  std::filesystem::create_directories(folder_.File("root/locks"));
  CommandFileLock lock(folder_.File("root/locks/" + RunLockName(folder_.File("root/c/Scontrino.inp"))));
  auto loader = StartLoader(Article("PRIMO"), "first.out");
  EXPECT_EQ(loader->Wait(300ms), std::nullopt);
  EXPECT_EQ(Root("c/Scontrino.inp"), "an earlier file\r\n");
  lock.Release();
  EXPECT_EQ(loader->Wait(30s), 0) << folder_.Read("first.out");
  EXPECT_EQ(Root("c/Scontrino.inp"), Expected("PRIMO"));
}

// A driver run on "c:\SCONTRINO.INP" and a loader run writing
// "C:\Scontrino.inp" take one lock: the loader waits while the driver sends,
// and goes on when the driver is killed.
TEST_F(LoaderLockTest, LoaderWaitsForADriverRunOnTheSameFile) {
  WriteReceipt({"=T1/$100", "=S"});
  const std::string receipt = Root("c/Scontrino.inp");
  auto driver = ChildProcess::Start(ZELKO_DRIVER_PATH, {},
                                    {{"ZELKO_ROOT", folder_.File("root")},
                                     {"ZELKO_CONTROL", "emulator"},
                                     {"ZELKO_EMULATOR_SCENARIO", folder_.Write("stuck.txt", "on prefix =T1 delay 60000")},
                                     {"ZELKO_OPERATOR", "unattended"}},
                                    folder_.File("driver.out"));
  ASSERT_TRUE(WaitUntil([&] { return Root("emulator/journal.txt").find("=D1/(") != std::string::npos; }));
  auto loader = StartLoader(Article("PRIMO"), "loader.out");
  EXPECT_EQ(loader->Wait(300ms), std::nullopt) << "the loader waits while the driver holds the lock";
  EXPECT_EQ(Root("c/Scontrino.inp"), receipt);
  driver.reset();  // SIGKILL
  EXPECT_EQ(loader->Wait(30s), 0) << folder_.Read("loader.out");
  EXPECT_EQ(Root("c/Scontrino.inp"), Expected("PRIMO"));
}

}  // namespace
}  // namespace zelko::hardening
