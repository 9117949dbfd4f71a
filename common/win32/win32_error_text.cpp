#include "win32_error_text.h"

#include <windows.h>

#include <cstdio>

namespace zelko {

namespace {

std::string SystemText(DWORD code) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ' ||
                        text[length - 1] == '.')) {
    --length;
  }
  return std::string(text, length);
}

std::string WithText(std::string number, DWORD code) {
  const std::string text = SystemText(code);
  if (!text.empty()) number.append(" (").append(text).append(")");
  return number;
}

}  // namespace

std::string HresultText(long code) {
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(code));
  return WithText(number, static_cast<DWORD>(code));
}

std::string LastErrorText(unsigned long code) { return WithText("error " + std::to_string(code), code); }

}  // namespace zelko
