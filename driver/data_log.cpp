#include "data_log.h"

#include <ostream>

namespace zelko {

void DataLog::Start(std::string path) {
  path_ = std::move(path);
  opened_ = false;
  faultTold_ = false;
  file_.reset();
}

void DataLog::Write(const std::string& text) {
  if (!opened_) {
    opened_ = true;
    auto sink = host_.Create(path_, HostServices::CreateMode::Truncate);
    if (sink) {
      file_ = std::make_unique<TextWriter>(std::move(sink));
    } else {
      TellFault("opened");
    }
  }
  if (file_ && !file_->WriteLine(text)) TellFault("written");
}

void DataLog::Close() {
  if (!opened_) return;
  if (file_ && !file_->Close()) TellFault("written");
  file_.reset();
}

void DataLog::TellFault(const char* what) {
  if (faultTold_) return;
  faultTold_ = true;
  diagnostics_ << "ZelkoDriver: the data file \"" << path_ << "\" could not be " << what
               << "; register data of this run is dropped\n";
}

}  // namespace zelko
