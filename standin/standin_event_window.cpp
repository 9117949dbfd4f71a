#include "standin_event_window.h"

#include <atomic>
#include <functional>
#include <utility>

#include "standin_module.h"

namespace zelko {

namespace {

constexpr wchar_t kWindowClass[] = L"ZelkoStandInWindow";
constexpr UINT kRaiseEvents = WM_APP + 1;

// The window class lives while any of the stand-in's windows does, so that
// the DLL never leaves a class behind that points into it once unloaded.
std::atomic<int> windowsAlive{0};

void RegisterWindowClass(WNDPROC procedure) {
  if (windowsAlive++ > 0) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = StandInModule();
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
}

void UnregisterWindowClass() {
  if (--windowsAlive == 0) UnregisterClassW(kWindowClass, StandInModule());
}

}  // namespace

StandInEventWindow::StandInEventWindow(std::function<void()> wake) : wake_(std::move(wake)) {
  RegisterWindowClass(&Procedure);
  messageOnly_ = Create(HWND_MESSAGE, 0, RECT{});
}

StandInEventWindow::~StandInEventWindow() {
  Detach();
  if (messageOnly_) DestroyWindow(messageOnly_);
  UnregisterWindowClass();
}

HWND StandInEventWindow::Create(HWND parent, DWORD style, const RECT& position) {
  HWND window = CreateWindowExW(0, kWindowClass, L"", style, position.left, position.top,
                                position.right - position.left, position.bottom - position.top, parent, nullptr,
                                StandInModule(), nullptr);
  if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return window;
}

bool StandInEventWindow::Attach(HWND parent, const RECT& position) {
  Detach();
  child_ = Create(parent, WS_CHILD | WS_CLIPSIBLINGS, position);
  return child_ != nullptr;
}

void StandInEventWindow::Detach() {
  if (!child_) return;
  DestroyWindow(std::exchange(child_, nullptr));
  // A message posted to the child is gone with it; the queue is not.
  if (!queue_.empty()) Post();
}

void StandInEventWindow::Move(const RECT& position) {
  if (child_) {
    MoveWindow(child_, position.left, position.top, position.right - position.left, position.bottom - position.top,
               FALSE);
  }
}

void StandInEventWindow::Queue(StandInEvent event) {
  queue_.push_back(std::move(event));
  Post();
}

void StandInEventWindow::Freeze(bool frozen) {
  frozen_ += frozen ? 1 : -1;
  if (frozen_ < 0) frozen_ = 0;
  if (frozen_ == 0 && !queue_.empty()) Post();
}

void StandInEventWindow::Post() {
  HWND target = child_ ? child_ : messageOnly_;
  if (target) PostMessageW(target, kRaiseEvents, 0, 0);
}

std::optional<StandInEvent> StandInEventWindow::TakeNext() {
  if (frozen_ > 0 || queue_.empty()) return std::nullopt;
  StandInEvent event = std::move(queue_.front());
  queue_.pop_front();
  return event;
}

LRESULT CALLBACK StandInEventWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRaiseEvents) {
    auto* self = reinterpret_cast<StandInEventWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // A copy: the control, and this window with it, may be gone when it returns.
    if (self) std::function<void()>(self->wake_)();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zelko
