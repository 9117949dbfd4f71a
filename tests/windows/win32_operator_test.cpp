#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "default_operator.h"

namespace zelko {
namespace {

// A window's text, also of a window that another thread owns.
std::string WindowText(HWND window) {
  char text[512] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &ignored);
  return text;
}

// On another thread, presses `button` on the message box that this thread
// shows, until the box is gone; notes the box's caption and text. It keeps
// pressing, so a press that arrives while the box is still being set up is
// not the only one.
class BoxPresser {
 public:
  explicit BoxPresser(int button)
      : owner_(GetCurrentThreadId()), thread_([this, button] {
          for (int attempt = 0; attempt < 600 && !done_; ++attempt) {
            if (const HWND box = FindBox()) {
              caption_ = WindowText(box);
              text_ = WindowText(GetDlgItem(box, 0xFFFF));
              PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            }
            Sleep(50);
          }
        }) {}
  ~BoxPresser() { Wait(); }
  // Called once the box has returned.
  void Wait() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
  }

  const std::string& Caption() const { return caption_; }
  const std::string& Text() const { return text_; }

 private:
  // An enumeration callback: the system calls it with the stdcall
  // convention, which a lambda's conversion does not give on 32-bit Windows.
  static BOOL CALLBACK NoteVisibleBox(HWND window, LPARAM result) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }

  HWND FindBox() const {
    HWND found = nullptr;
    EnumThreadWindows(owner_, NoteVisibleBox, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  DWORD owner_;
  std::atomic<bool> done_{false};
  std::string caption_;
  std::string text_;
  std::thread thread_;
};

TEST(Win32OperatorTest, MessageBoxesAnswerWithTheButtonPressed) {
  const struct {
    BoxKind kind;
    int button;
    OperatorAnswer answer;
  } cases[] = {
      {BoxKind::Stop, IDOK, OperatorAnswer::Ok},
      {BoxKind::Information, IDOK, OperatorAnswer::Ok},
      {BoxKind::Question, IDYES, OperatorAnswer::Yes},
      {BoxKind::Question, IDNO, OperatorAnswer::No},
  };
  const auto theOperator = MakeDefaultOperator();
  for (const auto& c : cases) {
    BoxPresser presser(c.button);
    const OperatorAnswer answer =
        theOperator->Ask("Coperchio APERTO! chiudere il COPERCHIO e premere OK", c.kind, "JQT ZELKO Driver");
    presser.Wait();
    EXPECT_EQ(answer, c.answer) << "style " << BoxStyle(c.kind);
  }
}

TEST(Win32OperatorTest, TheBoxShowsTheTextUnderTheCaption) {
  const auto theOperator = MakeDefaultOperator();
  BoxPresser presser(IDOK);
  theOperator->Ask("ZELKO NON Collegato!", BoxKind::Stop, "JQT ZELKO Driver rel.1.0.11");
  presser.Wait();
  EXPECT_EQ(presser.Caption(), "JQT ZELKO Driver rel.1.0.11");
  EXPECT_EQ(presser.Text(), "ZELKO NON Collegato!");
}

HWND Notice() { return FindWindowA("ZelkoMessaggi", nullptr); }

HWND Text1(HWND notice) { return FindWindowExA(notice, nullptr, "Edit", nullptr); }

TEST(Win32OperatorTest, TheNoticeWindowIsShownReplacedAndClosed) {
  const auto theOperator = MakeDefaultOperator();
  theOperator->CloseNotice();  // nothing shown: nothing happens
  EXPECT_EQ(Notice(), nullptr);

  const std::string caption = "JQT ZELKO Driver rel.1.0.11";
  theOperator->ShowNotice(caption, "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  const HWND notice = Notice();
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(IsWindowVisible(notice));
  EXPECT_EQ(WindowText(notice), caption);
  EXPECT_EQ(WindowText(Text1(notice)), "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");

  theOperator->ShowNotice(caption, "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");
  EXPECT_EQ(Notice(), notice) << "one window serves both rolls";
  EXPECT_EQ(WindowText(Text1(notice)), "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");

  theOperator->CloseNotice();
  EXPECT_EQ(Notice(), nullptr);
  theOperator->ShowNotice(caption, "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  EXPECT_NE(Notice(), nullptr) << "a later notice creates the window anew";
}

TEST(Win32OperatorTest, TheNoticeHasTheFormsLayout) {
  const auto theOperator = MakeDefaultOperator();
  theOperator->ShowNotice("JQT ZELKO Driver rel.1.0.11", "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  const HWND notice = Notice();
  ASSERT_NE(notice, nullptr);
  const HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto pixelsX = [&](int twips) { return MulDiv(twips, dpiX, 1440); };
  auto pixelsY = [&](int twips) { return MulDiv(twips, dpiY, 1440); };

  RECT client;
  GetClientRect(notice, &client);
  EXPECT_EQ(client.right, pixelsX(6585));
  EXPECT_EQ(client.bottom, pixelsY(900));

  const LONG style = GetWindowLongA(notice, GWL_STYLE);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "fixed size";
  EXPECT_TRUE(style & WS_CAPTION);

  RECT frame;
  GetWindowRect(notice, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  auto childRect = [&](HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, notice, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  const RECT text1 = childRect(Text1(notice));
  EXPECT_EQ(text1.left, pixelsX(1320));
  EXPECT_EQ(text1.top, pixelsY(240));
  EXPECT_EQ(text1.right - text1.left, pixelsX(5055));
  EXPECT_EQ(text1.bottom - text1.top, pixelsY(375));
  const HWND picture1 = FindWindowExA(notice, nullptr, "Static", nullptr);
  ASSERT_NE(picture1, nullptr);
  const RECT picture = childRect(picture1);
  EXPECT_EQ(picture.left, pixelsX(240));
  EXPECT_EQ(picture.top, pixelsY(120));
  EXPECT_EQ(picture.right - picture.left, pixelsX(735));
  EXPECT_EQ(picture.bottom - picture.top, pixelsY(615));
  EXPECT_NE(SendMessageA(picture1, STM_GETICON, 0, 0), 0) << "Picture1 holds the icon";
}

TEST(Win32OperatorTest, TheNoticeClosedByTheOperatorIsCreatedAgain) {
  const auto theOperator = MakeDefaultOperator();
  theOperator->ShowNotice("JQT ZELKO Driver rel.1.0.11", "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  ASSERT_NE(Notice(), nullptr);
  SendMessageA(Notice(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Notice(), nullptr);
  theOperator->CloseNotice();
  theOperator->ShowNotice("JQT ZELKO Driver rel.1.0.11", "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");
  ASSERT_NE(Notice(), nullptr);
  EXPECT_EQ(WindowText(Text1(Notice())), "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");
}

TEST(Win32OperatorTest, TheNoticeEndsWithTheOperator) {
  MakeDefaultOperator()->ShowNotice("JQT ZELKO Driver rel.1.0.11", "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
  EXPECT_EQ(Notice(), nullptr);
}

}  // namespace
}  // namespace zelko
