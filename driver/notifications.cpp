#include "notifications.h"

#include <ostream>

namespace zelko {

void RegisterNotifications::StatusUpdate(std::int32_t code) {
  switch (code) {
    case kReceiptEmpty:
      theOperator_.ShowNotice(DriverTitle(), "Fine ROTOLO SCONTRINO,   SOSTITUIRE la carta !");
      break;
    case kJournalEmpty:
      theOperator_.ShowNotice(DriverTitle(), "Fine ROTOLO GIORNALE,   SOSTITUIRE la carta !");
      break;
    case kReceiptPaperOk:
    case kJournalPaperOk:
      theOperator_.CloseNotice();
      break;
    default:
      break;
  }
}

void RegisterNotifications::DataReceived(const std::string& text) {
  if (WithinLimits(text.size() + 2)) outputs_.DataLine(text);
}

bool RegisterNotifications::WithinLimits(std::size_t lineBytes) {
  if (!full_ && lines_ < kDataMaxLines && lineBytes <= kDataMaxBytes - bytes_) {
    ++lines_;
    bytes_ += lineBytes;
    return true;
  }
  if (!full_) {
    full_ = true;
    diagnostics_ << "the register sent more data than one run keeps (" << kDataMaxLines << " lines, "
                 << kDataMaxBytes / (1024 * 1024) << " MiB); the rest of this run's data is dropped\n";
  }
  return false;
}

}  // namespace zelko
