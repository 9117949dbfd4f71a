#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "stop_signal.h"

namespace zelko::emulator {
namespace {

StopSignal* signalledStop = nullptr;

void OnTerminationSignal(int) {
  if (signalledStop != nullptr) signalledStop->Trigger();
}

}  // namespace

StopSignal::StopSignal() {
  int ends[2];
  if (pipe(ends) == 0) {
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    fcntl(writeEnd_, F_SETFL, O_NONBLOCK);
  }
}

StopSignal::~StopSignal() {
  if (signalledStop == this) signalledStop = nullptr;
  if (readEnd_ >= 0) close(readEnd_);
  if (writeEnd_ >= 0) close(writeEnd_);
}

void StopSignal::Trigger() {
  const char byte = 's';
  // Non-blocking: a full pipe already says "stop".
  [[maybe_unused]] const auto written = write(writeEnd_, &byte, 1);
}

bool StopSignal::Triggered() const {
  pollfd watch{readEnd_, POLLIN, 0};
  return poll(&watch, 1, 0) > 0;
}

void StopSignal::TriggerOnTerminationSignals() {
  signalledStop = this;
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace zelko::emulator
