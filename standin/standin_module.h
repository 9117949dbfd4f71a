#pragma once

#include <windows.h>

namespace zelko {

// The DLL itself: its handle and the count of what keeps it loaded (live
// controls and container locks), for DllCanUnloadNow.
HINSTANCE StandInModule();
void HoldModule();
void ReleaseModule();

}  // namespace zelko
