#pragma once

#include <iosfwd>
#include <string>

#include "operator.h"
#include "receipt.h"
#include "register_control.h"
#include "run_progress.h"
#include "settings_store.h"

namespace zelko {

// Exit statuses of the program; the result lines stay the outcome callers read.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailureReported = 1;
inline constexpr int kExitResultNotWritten = 2;

// Where a run's outcome goes as it is made: the register's data lines as they
// arrive, and the two result lines at the moment the driver writes its result
// (on a failure before the port is closed, on success after it).
class RunOutputs {
 public:
  virtual ~RunOutputs() = default;
  // One data line of the register, in the order they came.
  virtual void DataLine(const std::string& text) = 0;
  // The run sends no more data lines.
  virtual void EndOfData() = 0;
  // False when the lines could not be kept (the caller will not see them).
  virtual bool Result(const std::string& line1, const std::string& line2) = 0;
};

// The outside things one run works through. The steps read it; none keeps it.
struct RunContext {
  SettingsStore& store;
  Operator& theOperator;
  RegisterControl& control;
  RunOutputs& outputs;
  std::ostream& diagnostics;  // problems the result cannot tell, one line each
  RunProgress* progress = nullptr;  // told of the command lines sent, when set
};

// What a run gave: its result lines, and the exit status of a driver process.
struct ReceiptOutcome {
  std::string line1;
  std::string line2;
  int exitStatus = kExitSuccess;
};

// "JQT ZELKO Driver rel.<major>.<minor>.<revision>" of the program's own
// version: the caption of every box and of the notice.
const std::string& DriverTitle();

// The receipt run from the opening of the port to its result: session set-up,
// open-receipt check, the command lines, the closing status. The receipt's
// line count has been found right.
ReceiptOutcome RunReceipt(const Receipt& receipt, const RunContext& context);

// A receipt that cannot run (its file missing, short or miscounted): the
// failure box as the stored GestioneErrori asks, then the failure with code 0.
ReceiptOutcome ReportUnrunnableReceipt(const std::string& message, const RunContext& context);

}  // namespace zelko
