#pragma once

#include <iosfwd>

#include "driver_run.h"
#include "host_services.h"

namespace zelko {

// What ZelkoDriver, a program of files, works through.
struct DriverRun {
  DriverRun(HostServices& host, SettingsStore& store, Operator& theOperator, RegisterControl& control,
            std::ostream& diagnostics)
      : host(host), store(store), theOperator(theOperator), control(control), diagnostics(diagnostics) {}

  HostServices& host;
  SettingsStore& store;
  Operator& theOperator;
  RegisterControl& control;
  std::ostream& diagnostics;
  RunProgress* progress = nullptr;
};

// The driver's whole job on files: places its files, takes the run lock,
// reads the command file, runs the receipt, and writes the result and data
// files as the run makes them. Returns the exit status. A run object may
// serve many runs, one after the other.
int Main(DriverRun& run);

}  // namespace zelko
