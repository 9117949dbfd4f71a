#include "win32_notice_window.h"

#include "win32_notice_icon.h"

namespace zelko {

namespace {

constexpr char kNoticeClass[] = "ZelkoMessaggi";
constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;  // fixed single, no minimise or maximise
constexpr DWORD kFrameExtendedStyle = WS_EX_DLGMODALFRAME;

// The form's layout in twips (1/1440 inch).
struct TwipRect {
  int left, top, width, height;
};
constexpr TwipRect kClientArea{0, 0, 6585, 900};
constexpr TwipRect kPicture1{240, 120, 735, 615};
constexpr TwipRect kText1{1320, 240, 5055, 375};

struct PixelScale {
  int x, y;  // dots per inch
  int Horizontal(int twips) const { return MulDiv(twips, x, 1440); }
  int Vertical(int twips) const { return MulDiv(twips, y, 1440); }
};

PixelScale ScreenScale() {
  const HDC screen = GetDC(nullptr);
  PixelScale scale{96, 96};
  if (screen) {
    scale = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
  }
  return scale;
}

HICON NoticeIcon(int size) {
  const HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ZELKO_NOTICE_ICON), IMAGE_ICON, size,
                                 size, LR_DEFAULTCOLOR | LR_SHARED);
  return icon ? static_cast<HICON>(icon) : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_EXCLAMATION));
}

void RegisterNoticeClass(WNDPROC procedure) {
  WNDCLASSA notice{};
  notice.lpfnWndProc = procedure;
  notice.hInstance = GetModuleHandleA(nullptr);
  notice.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  notice.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  notice.lpszClassName = kNoticeClass;
  RegisterClassA(&notice);  // fails harmlessly when already registered
}

HWND CreateChild(HWND parent, const char* windowClass, DWORD style, const TwipRect& place, const PixelScale& scale) {
  const HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, windowClass, "", WS_CHILD | WS_VISIBLE | style,
                                     scale.Horizontal(place.left), scale.Vertical(place.top),
                                     scale.Horizontal(place.width), scale.Vertical(place.height), parent, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return child;
}

}  // namespace

LRESULT CALLBACK NoticeWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  } else if (message == WM_NCDESTROY) {
    // Closed by the operator, or by Close(): either way the form is unloaded.
    if (auto* self = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
      self->window_ = nullptr;
      self->text1_ = nullptr;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void NoticeWindow::Create(const std::string& caption) {
  RegisterNoticeClass(&NoticeWindow::Procedure);
  const PixelScale scale = ScreenScale();
  RECT frame{0, 0, scale.Horizontal(kClientArea.width), scale.Vertical(kClientArea.height)};
  AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExtendedStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_ = CreateWindowExA(kFrameExtendedStyle, kNoticeClass, caption.c_str(), kFrameStyle, left, top, width, height,
                            nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (!window_) return;
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(NoticeIcon(32)));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(NoticeIcon(16)));
  const HWND picture1 = CreateChild(window_, "STATIC", SS_ICON | SS_CENTERIMAGE, kPicture1, scale);
  SendMessageA(picture1, STM_SETICON, reinterpret_cast<WPARAM>(NoticeIcon(32)), 0);
  text1_ = CreateChild(window_, "EDIT", ES_AUTOHSCROLL | ES_READONLY, kText1, scale);
}

void NoticeWindow::Show(const std::string& caption, const std::string& text) {
  if (!window_) Create(caption);
  if (!window_) return;
  SetWindowTextA(text1_, text.c_str());
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

void NoticeWindow::Close() {
  if (window_) DestroyWindow(window_);
}

}  // namespace zelko
