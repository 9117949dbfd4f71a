#include "register_model.h"

#include "text.h"

namespace zelko::emulator {
namespace {

constexpr int kTailModulus = 10000;
constexpr std::string_view kTypeArticle = "11";
constexpr std::string_view kTypeThirteenRecord = "1300000000000000000000000000000000000000000000";

// Articles are keyed by their 13-character code; the type-13 record by itself.
std::string_view ArticleKey(std::string_view record) {
  if (record == kTypeThirteenRecord) return record;
  return record.substr(kTypeArticle.size(), 13);
}

}  // namespace

std::string FormatStatusReply(const StatusFields& fields) {
  std::string reply = ZeroPadded(fields.code, 4);
  reply += fields.receiptOpen ? "01" : "00";
  reply += fields.coverOpen ? '1' : '0';
  reply += fields.receiptPaperEmpty ? '1' : '0';
  reply += fields.journalPaperEmpty ? '1' : '0';
  reply += ZeroPadded(fields.tail, 4);
  return reply;
}

std::int32_t RegisterModel::Execute(const std::string& command) {
  std::int32_t result = 0;
  if (command.starts_with(kArticlePrefix)) {
    result = LoadArticle(command);
  } else if (command.starts_with(kDisplayPrefix)) {
    std::string_view line = std::string_view(command).substr(kDisplayPrefix.size());
    if (line.ends_with(')')) line.remove_suffix(1);
    display_ = line;
  } else if (command == kCancelReceipt) {
    receiptOpen_ = false;
  }
  if (result == 0) executed_ = (executed_ + 1) % kTailModulus;
  return result;
}

std::int32_t RegisterModel::LoadArticle(std::string_view command) {
  const std::size_t length = kArticlePrefix.size() + kArticleRecordLength + 1;
  if (command.size() != length || !command.ends_with(')')) return kResultIllegal;
  const std::string_view record = command.substr(kArticlePrefix.size(), kArticleRecordLength);
  if (!record.starts_with(kTypeArticle) && record != kTypeThirteenRecord) return kResultIllegal;

  const std::string_view key = ArticleKey(record);
  if (const auto found = articleIndexByKey_.find(key); found != articleIndexByKey_.end()) {
    articles_[found->second] = record;
  } else {
    articleIndexByKey_.emplace(key, articles_.size());
    articles_.emplace_back(record);
  }
  ++articleTableVersion_;
  return 0;
}

StatusFields RegisterModel::Status() const {
  StatusFields fields;
  fields.code = coverOpen_ ? kStatusCoverOpen : kStatusReady;
  fields.receiptOpen = receiptOpen_;
  fields.coverOpen = coverOpen_;
  fields.receiptPaperEmpty = receiptPaperEmpty_;
  fields.journalPaperEmpty = journalPaperEmpty_;
  fields.tail = executed_;
  return fields;
}

std::int32_t RegisterModel::SetPaperEmpty(Roll roll, bool empty) {
  if (roll == Roll::Receipt) {
    receiptPaperEmpty_ = empty;
    return empty ? kReceiptEmpty : kReceiptPaperOk;
  }
  journalPaperEmpty_ = empty;
  return empty ? kJournalEmpty : kJournalPaperOk;
}

bool RegisterModel::PaperEmpty(Roll roll) const {
  return roll == Roll::Receipt ? receiptPaperEmpty_ : journalPaperEmpty_;
}

}  // namespace zelko::emulator
