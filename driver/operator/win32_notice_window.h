#pragma once

#include <windows.h>

#include <string>

namespace zelko {

// The paper notice ZelkoMessaggi: a fixed-size, modeless window centred on
// the screen, with the notice icon (Picture1) and a single-line text (Text1).
// It exists from Show() to Close() (or the end of this object).
class NoticeWindow {
 public:
  NoticeWindow() = default;
  ~NoticeWindow() { Close(); }
  NoticeWindow(const NoticeWindow&) = delete;
  NoticeWindow& operator=(const NoticeWindow&) = delete;

  // Creates and shows the window with `caption` when it does not exist;
  // puts `text` into Text1 either way.
  void Show(const std::string& caption, const std::string& text);
  // Destroys the window when it exists.
  void Close();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Create(const std::string& caption);

  HWND window_ = nullptr;
  HWND text1_ = nullptr;
};

}  // namespace zelko
