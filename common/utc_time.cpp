#include "utc_time.h"

#include <cstdio>

namespace zelko {

std::string UtcTimeText(std::chrono::system_clock::time_point when, bool milliseconds) {
  using namespace std::chrono;
  const auto instant = floor<std::chrono::milliseconds>(when);
  const auto day = floor<days>(instant);
  const year_month_day date{day};
  const hh_mm_ss time{instant - day};
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  std::string result = text;
  if (milliseconds) {
    std::snprintf(text, sizeof text, ".%03d", static_cast<int>(time.subseconds().count()));
    result += text;
  }
  return result + "Z";
}

}  // namespace zelko
