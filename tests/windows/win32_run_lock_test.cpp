#include "win32_run_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "temp_folder.h"

namespace zelko {
namespace {

// A second run on the file, its name written in another case, waits until
// the first lets go; nothing is made beside the file. A mutex is its
// thread's, so the second run is a thread of its own.
TEST(Win32RunLock, SecondRunOnTheFileWaitsForTheFirstAndNoFileIsMade) {
  const testing::TempFolder folder;
  auto first = LockWin32RunOn(folder.File("SCONTRINO.INP"), nullptr);
  ASSERT_NE(first, nullptr);
  std::atomic<bool> taken{false};
  std::atomic<bool> held{false};
  std::thread second([&] {
    bool heldNow = false;
    held = LockWin32RunOn(folder.File("Scontrino.inp"), &heldNow) == nullptr && heldNow;
    auto lock = LockWin32RunOn(folder.File("Scontrino.inp"), nullptr);
    taken = lock != nullptr;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(taken);
  first.reset();
  second.join();
  EXPECT_TRUE(held) << "a try while the first holds it finds it held";
  EXPECT_TRUE(taken);
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(Win32RunLock, RunsOnOtherFilesDoNotWait) {
  const testing::TempFolder folder;
  auto first = LockWin32RunOn(folder.File("SCONTRINO.INP"), nullptr);
  std::atomic<bool> taken{false};
  std::thread second([&] { taken = LockWin32RunOn(folder.File("ZELKOPLU.TXT"), nullptr) != nullptr; });
  second.join();
  EXPECT_TRUE(taken);
}

}  // namespace
}  // namespace zelko
