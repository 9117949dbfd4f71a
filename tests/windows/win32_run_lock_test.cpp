#include "win32_run_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "temp_folder.h"

namespace zelko {
namespace {

// A second holder waits until the first lets go; the lock is per handle, so
// this shows within one process what two runs see.
TEST(Win32RunLock, SecondHolderWaitsForTheFirst) {
  const testing::TempFolder folder;
  const std::string path = folder.File("run.lock");
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
}

TEST(Win32RunLock, FileThatCannotBeMadeGivesNull) {
  const testing::TempFolder folder;
  EXPECT_EQ(LockWin32FileForRun(folder.File("missing\\r.lock")), nullptr);
}

}  // namespace
}  // namespace zelko
