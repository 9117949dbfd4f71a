#include "notifications.h"

#include "driver_run.h"

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

void RegisterNotifications::DataReceived(const std::string& text) { dataLog_.Write(text); }

}  // namespace zelko
