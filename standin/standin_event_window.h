#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace zelko {

// One event of the register, waiting to be raised.
struct StandInEvent {
  enum class Kind { StatusUpdate, DataReceived };
  Kind kind;
  std::int32_t code = 0;
  std::string text;
};

// The control's own windows and the events waiting in them. Events are never
// raised inside the call that brought them: Queue posts a message, and the
// window procedure calls `wake` when the thread's messages are dispatched;
// `wake` takes the events with TakeNext, in order. Until the control is in-place active the
// message goes to a message-only window; while active, to the control's
// hidden child window of the container's window.
class StandInEventWindow {
 public:
  explicit StandInEventWindow(std::function<void()> wake);
  ~StandInEventWindow();
  StandInEventWindow(const StandInEventWindow&) = delete;
  StandInEventWindow& operator=(const StandInEventWindow&) = delete;

  void Queue(StandInEvent event);
  // The oldest waiting event; none while frozen.
  std::optional<StandInEvent> TakeNext();

  // The child window of `parent`, hidden, at `position`; false when it cannot be made.
  bool Attach(HWND parent, const RECT& position);
  void Detach();
  void Move(const RECT& position);
  HWND Window() const { return child_; }

  // While frozen, events wait in the queue; unfreezing raises them.
  void Freeze(bool frozen);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND Create(HWND parent, DWORD style, const RECT& position);
  void Post();

  std::function<void()> wake_;
  std::deque<StandInEvent> queue_;
  HWND messageOnly_ = nullptr;
  HWND child_ = nullptr;
  int frozen_ = 0;
};

}  // namespace zelko
