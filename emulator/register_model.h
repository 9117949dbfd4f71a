#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "register_codes.h"
#include "register_commands.h"

namespace zelko::emulator {

inline constexpr std::size_t kArticleRecordLength = 46;

enum class Roll { Receipt, Journal };

// What a status reply reports. Its text, 13 characters:
//   1-4   status code, zero-padded (0000 ready, 0103 cover open, other: fault)
//   5-6   receipt state: "01" open, "00" none
//   7     cover: "1" open, "0" closed
//   8     receipt paper: "1" empty, "0" present
//   9     journal paper: "1" empty, "0" present
//   10-13 tail: commands executed since the register started, modulo 10000
struct StatusFields {
  std::int32_t code = kStatusReady;
  bool receiptOpen = false;
  bool coverOpen = false;
  bool receiptPaperEmpty = false;
  bool journalPaperEmpty = false;
  int tail = 0;
};
std::string FormatStatusReply(const StatusFields& fields);

// The register as the driver sees it: its state and the few commands whose
// effect is known. Every other command is accepted and changes nothing.
class RegisterModel {
 public:
  // Runs one command; returns its result code.
  std::int32_t Execute(const std::string& command);
  StatusFields Status() const;

  void SetCoverOpen(bool open) { coverOpen_ = open; }
  void SetReceiptOpen(bool open) { receiptOpen_ = open; }
  // Returns the status-update code that the change raises.
  std::int32_t SetPaperEmpty(Roll roll, bool empty);

  bool CoverOpen() const { return coverOpen_; }
  bool ReceiptOpen() const { return receiptOpen_; }
  bool PaperEmpty(Roll roll) const;
  const std::string& Display() const { return display_; }
  // The loaded records in load order; reloading a code replaces its record in place.
  const std::vector<std::string>& ArticleTable() const { return articles_; }
  // Grows with every record loaded, so that a writer can tell the table changed.
  unsigned ArticleTableVersion() const { return articleTableVersion_; }

 private:
  std::int32_t LoadArticle(std::string_view command);

  bool coverOpen_ = false;
  bool receiptOpen_ = false;
  bool receiptPaperEmpty_ = false;
  bool journalPaperEmpty_ = false;
  int executed_ = 0;
  std::string display_;
  std::vector<std::string> articles_;
  unsigned articleTableVersion_ = 0;
  std::map<std::string, std::size_t, std::less<>> articleIndexByKey_;
};

}  // namespace zelko::emulator
