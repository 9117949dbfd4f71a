#pragma once

namespace zelko::emulator {

// A one-way switch that tells the emulator's loops to end: pulled by the
// console (quit, end of input) or by SIGTERM/SIGINT. Loops wait on Handle(),
// which becomes readable once the switch is pulled.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  // Safe to call from a signal handler and from any thread.
  void Trigger();
  bool Triggered() const;
  int Handle() const { return readEnd_; }

  // Makes SIGTERM and SIGINT pull this switch. One switch per process.
  void TriggerOnTerminationSignals();

 private:
  int readEnd_ = -1;
  int writeEnd_ = -1;
};

}  // namespace zelko::emulator
