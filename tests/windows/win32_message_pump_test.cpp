#include "win32_message_pump.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace zelko {
namespace {

constexpr UINT kMarked = WM_APP + 1;

std::vector<WPARAM>* seen = nullptr;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMarked && seen) seen->push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// A hidden window that notes the marks posted to it, in order of dispatch.
class MarkedWindow {
 public:
  MarkedWindow() {
    WNDCLASSA recorder{};
    recorder.lpfnWndProc = Record;
    recorder.hInstance = GetModuleHandleA(nullptr);
    recorder.lpszClassName = "ZelkoPumpTest";
    RegisterClassA(&recorder);
    window_ = CreateWindowExA(0, "ZelkoPumpTest", "", 0, 0, 0, 0, 0, nullptr, nullptr, recorder.hInstance, nullptr);
    seen = &marks;
  }
  ~MarkedWindow() {
    seen = nullptr;
    DestroyWindow(window_);
  }
  void Post(WPARAM mark) const { PostMessageA(window_, kMarked, mark, 0); }

  std::vector<WPARAM> marks;

 private:
  HWND window_ = nullptr;
};

ULONGLONG ThreadCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ticks = [](FILETIME t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return (ticks(kernel) + ticks(user)) / 10000;
}

TEST(MessagePumpTest, PendingMessagesAreDispatchedInTheOrderPosted) {
  MarkedWindow window;
  for (WPARAM mark = 1; mark <= 5; ++mark) window.Post(mark);
  PumpPendingMessages();
  EXPECT_EQ(window.marks, (std::vector<WPARAM>{1, 2, 3, 4, 5}));
  PumpPendingMessages();
  EXPECT_EQ(window.marks.size(), 5u) << "nothing is dispatched twice";
}

// The wait lasts its time, dispatches what arrives meanwhile (also from
// another thread) as it arrives, and sleeps in between.
TEST(MessagePumpTest, AWaitDispatchesWhatArrivesAndDoesNotSpin) {
  MarkedWindow window;
  window.Post(1);
  const HWND target = FindWindowA("ZelkoPumpTest", nullptr);
  std::thread poster([target] {
    Sleep(200);
    PostMessageA(target, kMarked, 2, 0);
  });
  const DWORD start = GetTickCount();
  const ULONGLONG cpuBefore = ThreadCpuMilliseconds();
  WaitPumpingMessages(1000);
  const DWORD waited = GetTickCount() - start;
  const ULONGLONG cpu = ThreadCpuMilliseconds() - cpuBefore;
  poster.join();
  EXPECT_EQ(window.marks, (std::vector<WPARAM>{1, 2}));
  EXPECT_GE(waited, 980u) << "the tick counter's granularity aside, the whole time";
  // Asleep it uses a few milliseconds; polling, a good part of the second.
  EXPECT_LT(cpu, 100u) << "the wait polls";
}

}  // namespace
}  // namespace zelko
