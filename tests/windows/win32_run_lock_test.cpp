#include "win32_run_lock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace zelko {
namespace {

std::string TempLockPath() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  return std::string(base) + "zelko-lock-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount()) + ".lock";
}

// A second holder waits until the first lets go; the lock is per handle, so
// this shows within one process what two runs see.
TEST(Win32RunLock, SecondHolderWaitsForTheFirst) {
  const std::string path = TempLockPath();
  auto first = LockWin32FileForRun(path);
  ASSERT_NE(first, nullptr);
  std::atomic<bool> taken{false};
  std::thread second([&] {
    auto lock = LockWin32FileForRun(path);
    taken = lock != nullptr;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(taken);
  first.reset();
  second.join();
  EXPECT_TRUE(taken);
  DeleteFileA(path.c_str());
}

TEST(Win32RunLock, FileThatCannotBeMadeGivesNull) {
  EXPECT_EQ(LockWin32FileForRun(TempLockPath() + "\\missing\\r.lock"), nullptr);
}

}  // namespace
}  // namespace zelko
