#include "win32_message_pump.h"

#include <windows.h>

namespace zelko {

namespace {

// Dispatches what is waiting; false when a WM_QUIT came up, which is put
// back for whoever runs a loop (not ours to act on here).
bool DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

}  // namespace

void PumpPendingMessages() { DispatchPending(); }

void WaitPumpingMessages(unsigned long milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    const bool quitPending = !DispatchPending();
    const DWORD waited = GetTickCount() - start;  // unsigned: right across the counter's wrap
    if (waited >= milliseconds) return;
    if (quitPending) {
      // The pending quit would wake every wait below at once.
      Sleep(milliseconds - waited);
      return;
    }
    // MWMO_INPUTAVAILABLE: wake also for messages that arrived before the call.
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - waited, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

}  // namespace zelko
