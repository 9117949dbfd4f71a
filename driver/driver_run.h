#pragma once

#include <iosfwd>
#include <string>

#include "file_locations.h"
#include "host_services.h"
#include "operator.h"
#include "register_control.h"
#include "run_progress.h"
#include "settings_store.h"

namespace zelko {

// Exit statuses of the program; the result file stays the outcome callers read.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailureReported = 1;
inline constexpr int kExitResultNotWritten = 2;

// One run of the driver: the outside things it works through and where its
// files lie. The steps read it; only Main places the files. A run object may
// serve many runs one after the other: each Main places them afresh.
struct DriverRun {
  DriverRun(HostServices& host, SettingsStore& store, Operator& theOperator, RegisterControl& control,
            std::ostream& diagnostics)
      : host(host), store(store), theOperator(theOperator), control(control), diagnostics(diagnostics) {}

  HostServices& host;
  SettingsStore& store;
  Operator& theOperator;
  RegisterControl& control;
  std::ostream& diagnostics;  // problems that the result file cannot tell, one line each
  RunProgress* progress = nullptr;  // told of the command lines sent, when set

  FileLocations files;
};

// "JQT ZELKO Driver rel.<major>.<minor>.<revision>" of the program's own
// version: the caption of every box and of the notice.
const std::string& DriverTitle();

// Does the whole job in its fixed order; returns the exit status.
int Main(DriverRun& run);

}  // namespace zelko
