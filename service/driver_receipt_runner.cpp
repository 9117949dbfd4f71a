#include "driver_receipt_runner.h"

#include <iostream>
#include <sstream>

#include "driver_run.h"
#include "file_locations.h"
#include "host_system_name.h"
#include "operator_selection.h"
#include "prefixed_lines.h"
#include "run_lock.h"

namespace zelko::service {

namespace {

// The run's outcome, kept for the reply.
class KeptOutputs final : public RunOutputs {
 public:
  void DataLine(const std::string& text) override { data.push_back(text); }
  void EndOfData() override {}
  bool Result(const std::string&, const std::string&) override { return true; }

  std::vector<std::string> data;
};

}  // namespace

RunOutcome DriverReceiptRunner::Run(const Receipt& receipt, RunProgress& progress) {
  std::ostringstream diagnostics;
  RunOutcome outcome;
  {
    // One run at a time on the register: the lock of the command file that a
    // driver run here would execute, which ZelkoDriver and PLUZELKO take too.
    const auto lock = LockRunsOn(host_, LocateFiles(HostSystemName(host_), host_).commandFilePath, diagnostics);
    // A new operator and control for every run, as every ZelkoDriver process has.
    const auto theOperator = SelectOperator(environment_, host_, diagnostics);
    const auto control = controls_.Make(diagnostics);
    KeptOutputs outputs;
    const RunContext context{store_, *theOperator, *control, outputs, diagnostics, &progress};
    const ReceiptOutcome result = RunReceipt(receipt, context);
    if (result.exitStatus != kExitResultNotWritten) outcome.resultLines = {result.line1, result.line2};
    outcome.dataLines = std::move(outputs.data);
  }
  outcome.diagnostics = diagnostics.str();
  // What ZelkoDriver would have said on its standard error, the service says on its own.
  PrefixedLines said(std::cerr, "ZelkoService: ");
  said << outcome.diagnostics;
  return outcome;
}

}  // namespace zelko::service
