// Windows XP has no GetTickCount64, yet the static thread library of the
// MinGW runtime imports it, and a program importing a missing function does
// not start at all. This defines the import slot the linker would otherwise
// fill from kernel32, pointing at a stand-in that uses the real function
// where Windows has it and the performance counter elsewhere.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
  using Function = ULONGLONG(WINAPI*)();
  const auto real = reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  if (real) return real();
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  const ULONGLONG ticks = static_cast<ULONGLONG>(counter.QuadPart);
  const ULONGLONG perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

}  // namespace

#if defined(__i386__)
extern "C" ULONGLONG(WINAPI* const zelko_GetTickCount64_import)() __asm__("__imp__GetTickCount64@0");
extern "C" ULONGLONG(WINAPI* const zelko_GetTickCount64_import)() = &TickCount64;
#else
extern "C" ULONGLONG(WINAPI* const zelko_GetTickCount64_import)() __asm__("__imp_GetTickCount64");
extern "C" ULONGLONG(WINAPI* const zelko_GetTickCount64_import)() = &TickCount64;
#endif
