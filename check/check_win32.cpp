// What ZelkoCheck asks of Windows: its serial ports, and what file
// virtualization does to the driver's files.
#include <windows.h>

#include <algorithm>

#include "register_probe.h"
#include "till_checks.h"
#include "win32_virtual_store.h"

namespace zelko {

namespace {

// "COM3" as the port text the driver hands the control: "3"; empty for another name.
std::string PortNumber(const std::string& device) {
  if (device.size() < 4 || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, device.c_str(), 3, "COM", 3) !=
                               CSTR_EQUAL) {
    return {};
  }
  const std::string number = device.substr(3);
  return number.find_first_not_of("0123456789") == std::string::npos ? number : std::string();
}

}  // namespace

// The serial ports that Windows lists under HARDWARE\DEVICEMAP\SERIALCOMM, by number.
std::vector<std::string> SerialPortsToTry() {
  std::vector<std::string> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return ports;
  }
  for (DWORD index = 0;; ++index) {
    char name[256];
    BYTE data[256];
    DWORD nameSize = sizeof name;
    DWORD dataSize = sizeof data - 1;
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    if (type != REG_SZ) continue;
    data[dataSize] = 0;
    const std::string port = PortNumber(reinterpret_cast<const char*>(data));
    if (!port.empty()) ports.push_back(port);
  }
  RegCloseKey(key);
  std::sort(ports.begin(), ports.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return ports;
}

std::vector<std::string> VirtualizationProblems(const std::vector<std::string>& paths) {
  std::vector<std::string> problems;
  if (ProcessIsVirtualized()) problems.push_back("questo programma e' virtualizzato: vede copie, non i file veri");
  for (const std::string& path : paths) {
    const std::string copy = VirtualStoreCopy(path);
    if (!copy.empty() && GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES) {
      problems.push_back("la copia virtuale " + copy + " nasconde " + path + " ai programmi virtualizzati");
    }
  }
  return problems;
}

}  // namespace zelko
