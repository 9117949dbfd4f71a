#include "data_log.h"

#include <ostream>

namespace zelko {

void DataLog::Start(std::string path) {
  path_ = std::move(path);
  opened_ = false;
  faultTold_ = false;
  lines_ = 0;
  bytes_ = 0;
  full_ = false;
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
  if (file_ && WithinLimits(text.size() + 2) && !file_->WriteLine(text)) TellFault("written");
}

bool DataLog::WithinLimits(std::size_t lineBytes) {
  if (!full_ && lines_ < kDataLogMaxLines && lineBytes <= kDataLogMaxBytes - bytes_) {
    ++lines_;
    bytes_ += lineBytes;
    return true;
  }
  if (!full_) {
    full_ = true;
    diagnostics_ << "ZelkoDriver: the register sent more data than the data file \"" << path_
                 << "\" takes in one run (" << kDataLogMaxLines << " lines, " << kDataLogMaxBytes / (1024 * 1024)
                 << " MiB); the rest of this run's data is not written\n";
  }
  return false;
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
