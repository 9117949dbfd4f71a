#include "file_run.h"

#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "file_locations.h"
#include "host_system_name.h"
#include "run_lock.h"
#include "text_file.h"

namespace zelko {

namespace {

// The result file, replaced whole, and the data file, emptied by the run's
// first data line and open until its data end. Data that cannot be written is
// dropped, and that is told once a run: the receipt does not depend on it.
class RunFiles final : public RunOutputs {
 public:
  RunFiles(const HostServices& host, FileLocations files, std::ostream& diagnostics)
      : host_(host), files_(std::move(files)), diagnostics_(diagnostics) {}

  void NameResultFile(std::string path) { files_.resultFilePath = std::move(path); }

  void DataLine(const std::string& text) override {
    if (!dataStarted_) {
      dataStarted_ = true;
      if (auto sink = host_.Create(files_.dataFilePath, HostServices::CreateMode::Truncate)) {
        data_ = std::make_unique<TextWriter>(std::move(sink));
      } else {
        TellDataFault("opened");
      }
    }
    if (data_ && !data_->WriteLine(text)) TellDataFault("written");
  }

  void EndOfData() override {
    if (data_ && !data_->Close()) TellDataFault("written");
    data_.reset();
  }

  bool Result(const std::string& line1, const std::string& line2) override {
    if (WriteResultFile(line1, line2)) return true;
    diagnostics_ << "the result file \"" << files_.resultFilePath << "\" could not be written\n";
    return false;
  }

 private:
  // Replaced whole, so that a caller never reads half of it.
  bool WriteResultFile(const std::string& line1, const std::string& line2) const {
    auto sink = host_.Create(files_.resultFilePath, HostServices::CreateMode::AtomicReplace);
    if (!sink) return false;
    TextWriter writer(std::move(sink));
    return writer.WriteLine(line1) && writer.WriteLine(line2) && writer.Close();
  }

  void TellDataFault(const char* what) {
    if (dataFaultTold_) return;
    dataFaultTold_ = true;
    diagnostics_ << "the data file \"" << files_.dataFilePath << "\" could not be " << what
                 << "; register data of this run is dropped\n";
  }

  const HostServices& host_;
  FileLocations files_;
  std::ostream& diagnostics_;
  bool dataStarted_ = false;
  bool dataFaultTold_ = false;
  std::unique_ptr<TextWriter> data_;
};

// From here on the result file that the caller reads holds nothing of an
// earlier run, so that no failure, crash or kill can leave an earlier "OK" to
// be read for this run. When an earlier outcome stays there, nothing is sent:
// the receipt's own could not replace it (false, having said so).
bool EmptyCallersResultFile(const DriverRun& run, const std::string& path) {
  if (run.host.EmptyFile(path)) return true;
  run.diagnostics << "the result file \"" << path << "\" could not be written; nothing was sent to the register\n";
  return false;
}

}  // namespace

int Main(DriverRun& run) {
  const FileLocations files = LocateFiles(HostSystemName(run.host), run.host);
  const auto lock = LockRunsOn(run.host, files.commandFilePath, run.diagnostics);
  // Read whole before the result file is emptied, which may be the same file.
  const std::optional<Receipt> receipt = ReadCommandFile(run.host, files.commandFilePath);
  const std::string named = ResultPathFromCommandLine(run.host.CommandLineText());
  if (!EmptyCallersResultFile(run, named.empty() ? files.resultFilePath : named)) return kExitResultNotWritten;
  RunFiles outputs(run.host, files, run.diagnostics);
  const RunContext context{run.store, run.theOperator, run.control, outputs, run.diagnostics, run.progress};
  // A missing, short or miscounted file is reported in the default result
  // file: the command line's path takes effect only once the count is right.
  if (!receipt) return ReportUnrunnableReceipt(MissingCommandFileMessage(files.commandFilePath), context).exitStatus;
  if (!receipt->LineCountMatches()) {
    return ReportUnrunnableReceipt(LineCountMessage(receipt->FoundLines()), context).exitStatus;
  }
  if (!named.empty()) outputs.NameResultFile(named);
  return RunReceipt(*receipt, context).exitStatus;
}

}  // namespace zelko
