#include "host_system_name.h"

namespace zelko {

namespace {

std::string Windows9xName(const WindowsVersion& version) {
  switch (version.minor) {
    case 0:
      return "95";
    case 10:
      return (version.build & 0xFFFFu) == 2222 ? "98SE" : "98";
    case 90:
      return "Me";
    default:
      return "";
  }
}

std::string WindowsNtName(const WindowsVersion& version) {
  switch (version.major) {
    case 3:
      return "NT351";
    case 4:
      return "NT40";
    case 5:
      if (version.minor == 0) return "2000";
      if (version.minor == 1) return "XP";
      if (version.minor == 2) return "2003SVR";
      return "";
    case 6:
      if (version.minor == 0) return "VISTA";
      if (version.minor == 1) return "SEVEN";
      return "";
    default:
      return "";
  }
}

}  // namespace

std::string HostSystemNameFor(const WindowsVersion& version) {
  switch (version.platformId) {
    case 0:
      return "31";
    case 1:
      return Windows9xName(version);
    case 2:
      return WindowsNtName(version);
    default:
      return "Failed";
  }
}

std::string HostSystemName(const HostServices& host) {
  const auto version = host.WindowsVersionNumbers();
  return version ? HostSystemNameFor(*version) : std::string();
}

}  // namespace zelko
