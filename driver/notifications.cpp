#include "notifications.h"

#include <ostream>

namespace zelko {

namespace {

// The receipt does not depend on the data file: its data is dropped, and said so once a run.
void TellDataLogFault(DriverRun& run, const char* what) {
  if (run.dataLogFaultTold) return;
  run.dataLogFaultTold = true;
  run.diagnostics << "ZelkoDriver: the data file \"" << run.dataLogPath << "\" could not be " << what
                  << "; register data of this run is dropped\n";
}

}  // namespace

void RegisterNotifications::StatusUpdate(std::int32_t code) {
  switch (code) {
    case kReceiptEmpty:
      run_.theOperator.ShowNotice(run_.driverTitle, "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
      break;
    case kJournalEmpty:
      run_.theOperator.ShowNotice(run_.driverTitle, "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");
      break;
    case kReceiptPaperOk:
    case kJournalPaperOk:
      run_.theOperator.CloseNotice();
      break;
    default:
      break;
  }
}

void RegisterNotifications::DataReceived(const std::string& text) {
  if (!run_.dataLogOpen) {
    run_.dataLogOpen = true;
    auto sink = run_.host.Create(run_.dataLogPath, HostServices::CreateMode::Truncate);
    if (sink) {
      run_.dataLog = std::make_unique<TextWriter>(std::move(sink));
    } else {
      TellDataLogFault(run_, "opened");
    }
  }
  if (run_.dataLog && !run_.dataLog->WriteLine(text)) TellDataLogFault(run_, "written");
}

void CloseDataLog(DriverRun& run) {
  if (!run.dataLogOpen) return;
  if (run.dataLog && !run.dataLog->Close()) TellDataLogFault(run, "written");
  run.dataLog.reset();
}

}  // namespace zelko
