#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "journal.h"
#include "register_model.h"
#include "scenario.h"

namespace zelko::emulator {

// The six operations of the register control.
enum class Operation { ClosePort, HighSpeed, OpenPort, SendCommand, SendQuery, ResultCodeExtended };
std::string_view OperationName(Operation operation);
std::optional<Operation> OperationFromName(std::string_view name);

struct Request {
  Operation operation = Operation::ClosePort;
  std::string text;  // OpenPort: the port; SendCommand, SendQuery: the command or query
  bool value = false;  // HighSpeed
};

struct RegisterEvent {
  enum class Kind { StatusUpdate, DataReceived };
  Kind kind = Kind::StatusUpdate;
  std::int32_t code = 0;
  std::string text;
};

// What the register answers to one request. `result` is the value for
// ResultCodeExtended. Events go out before the answer, in order; the answer
// waits `delay`; `drop` closes the connection instead of answering.
struct Outcome {
  std::int32_t result = 0;
  std::string reply;
  std::vector<RegisterEvent> events;
  std::chrono::milliseconds delay{0};
  bool drop = false;
};

// The register model driven by a scenario, with every operation journaled.
// Safe to use from the serving thread and the operator's console at once.
class EmulatedRegister {
 public:
  EmulatedRegister(Scenario scenario, Journal& journal);

  Outcome Perform(const Request& request);

  // The operator's hands on the register; the events they raise go out
  // before the next answer.
  void SetCoverOpen(bool open);
  void SetReceiptOpen(bool open);
  void SetPaperEmpty(Roll roll, bool empty);
  void SendData(const std::string& text);

  StatusFields Status();
  std::string Display();
  std::vector<std::string> ArticleTable();
  unsigned ArticleTableVersion();

 private:
  void Exchange(const Request& request, Outcome& outcome);
  bool Matches(const Selector& when, const Request& request, int count) const;
  std::string QueryReply(const std::string& query);
  void JournalOutcome(const Request& request, const Outcome& outcome);
  void QueueEvent(RegisterEvent event, const std::string& what);

  std::mutex mutex_;
  RegisterModel model_;
  Scenario scenario_;
  Journal& journal_;
  bool portOpen_ = false;
  std::size_t nextStatusStep_ = 0;
  int commandCount_ = 0;
  int queryCount_ = 0;
  std::int32_t extended_ = 0;
  std::vector<RegisterEvent> pending_;
};

}  // namespace zelko::emulator
