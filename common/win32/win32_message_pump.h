#pragma once

namespace zelko {

// Dispatches the messages already waiting for this thread's windows and
// returns at once. The driver runs on one thread without a message loop, so
// it calls this whenever it talks to the operator or the register: windows
// stay painted and messages posted by the register's control are delivered.
void PumpPendingMessages();

// Waits `milliseconds`, dispatching this thread's messages as they arrive
// (asleep in between, never polling).
void WaitPumpingMessages(unsigned long milliseconds);

}  // namespace zelko
