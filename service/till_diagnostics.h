#pragma once

#include <string>

#include "register_thread.h"
#include "till_checks.h"

namespace zelko::service {

// ZelkoCheck's findings for the page, on the register thread, the home of the
// control that they may create: the checks that touch no register, and the
// register asked on a port only when a person asks for it.
class TillDiagnostics {
 public:
  TillDiagnostics(const Till& till, RegisterThread& thread) : till_(till), thread_(thread) {}

  // {"ok", "checks"} as ZelkoCheck --json gives them.
  std::string Checks();
  // The same with "ports": the register asked on `port`, or, when it is
  // empty, on every serial port, those where it answered.
  std::string Probe(const std::string& port);

 private:
  const Till& till_;
  RegisterThread& thread_;
};

}  // namespace zelko::service
