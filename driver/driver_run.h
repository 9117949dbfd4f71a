#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "driver_settings.h"
#include "host_services.h"
#include "operator.h"
#include "register_control.h"
#include "settings_store.h"
#include "text_file.h"

namespace zelko {

// Exit statuses of the program; the result file stays the outcome callers read.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailureReported = 1;
inline constexpr int kExitResultNotWritten = 2;

// One run of the driver: the outside things it works through, and its run
// state, which starts empty for every run.
struct DriverRun {
  DriverRun(HostServices& host, SettingsStore& store, Operator& theOperator, RegisterControl& control,
            std::ostream& diagnostics)
      : host(host), store(store), theOperator(theOperator), control(control), diagnostics(diagnostics) {}

  HostServices& host;
  SettingsStore& store;
  Operator& theOperator;
  RegisterControl& control;
  std::ostream& diagnostics;  // problems that the result file cannot tell, one line each

  std::string driverTitle;
  std::string commandFilePath;
  std::string resultFilePath;
  std::string dataFilePath;
  std::string dataLogPath;
  bool dataLogOpen = false;
  std::string failureMessage;
  DriverSettings settings;

  std::unique_ptr<TextWriter> dataLog;  // the open data file, from the first data event on
  bool dataLogFaultTold = false;        // a data file fault is told once per run
};

// "JQT ZELKO Driver rel.<major>.<minor>.<revision>" of the program's own version.
std::string DriverTitle();

// Does the whole job in its fixed order; returns the exit status.
int Main(DriverRun& run);

}  // namespace zelko
