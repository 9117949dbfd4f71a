#include "emulated_register.h"

#include <array>
#include <utility>

#include "emulator_protocol.h"
#include "text.h"

namespace zelko::emulator {
namespace {

constexpr std::array<std::pair<Operation, std::string_view>, 6> kOperationNames{{
    {Operation::ClosePort, protocol::kClosePort},
    {Operation::HighSpeed, protocol::kHighSpeed},
    {Operation::OpenPort, protocol::kOpenPort},
    {Operation::SendCommand, protocol::kSendCommand},
    {Operation::SendQuery, protocol::kSendQuery},
    {Operation::ResultCodeExtended, protocol::kResultCodeExtended},
}};

StatusFields ApplyStep(StatusFields fields, const StatusStep& step) {
  switch (step.kind) {
    case StatusStep::Kind::Ready:
      fields.code = kStatusReady;
      fields.coverOpen = false;
      fields.receiptOpen = false;
      break;
    case StatusStep::Kind::CoverOpen:
      fields.code = kStatusCoverOpen;
      fields.coverOpen = true;
      break;
    case StatusStep::Kind::ReceiptOpen:
      fields.receiptOpen = true;
      break;
    case StatusStep::Kind::Fault:
      fields.code = step.code;
      break;
    case StatusStep::Kind::Raw:
      break;
  }
  return fields;
}

std::string EventLine(const RegisterEvent& event) {
  if (event.kind == RegisterEvent::Kind::StatusUpdate) return "event\tStatusUpdate\t" + std::to_string(event.code);
  return "event\tDataReceived\t" + EscapeForLog(event.text);
}

}  // namespace

std::string_view OperationName(Operation operation) {
  for (const auto& [known, name] : kOperationNames) {
    if (known == operation) return name;
  }
  return {};
}

std::optional<Operation> OperationFromName(std::string_view name) {
  for (const auto& [operation, known] : kOperationNames) {
    if (known == name) return operation;
  }
  return std::nullopt;
}

EmulatedRegister::EmulatedRegister(Scenario scenario, Journal& journal)
    : scenario_(std::move(scenario)), journal_(journal) {
  model_.SetCoverOpen(scenario_.coverOpen);
  model_.SetReceiptOpen(scenario_.receiptOpen);
  model_.SetPaperEmpty(Roll::Receipt, scenario_.receiptPaperEmpty);
  model_.SetPaperEmpty(Roll::Journal, scenario_.journalPaperEmpty);
}

Outcome EmulatedRegister::Perform(const Request& request) {
  const std::lock_guard lock(mutex_);
  Outcome outcome;
  switch (request.operation) {
    case Operation::ClosePort:
      outcome.result = scenario_.absent ? kResultNoHardware : 0;
      portOpen_ = false;
      extended_ = 0;
      break;
    case Operation::HighSpeed:
      break;
    case Operation::OpenPort:
      // A port where the register is not: nothing answers there.
      outcome.result = scenario_.absent || (!scenario_.port.empty() && request.text != scenario_.port)
                           ? kResultNoHardware
                           : 0;
      portOpen_ = outcome.result == 0;
      commandCount_ = 0;
      queryCount_ = 0;
      extended_ = 0;
      break;
    case Operation::SendCommand:
    case Operation::SendQuery:
      Exchange(request, outcome);
      break;
    case Operation::ResultCodeExtended:
      outcome.result = extended_;
      break;
  }
  outcome.events.insert(outcome.events.begin(), pending_.begin(), pending_.end());
  pending_.clear();
  JournalOutcome(request, outcome);
  return outcome;
}

void EmulatedRegister::Exchange(const Request& request, Outcome& outcome) {
  const bool query = request.operation == Operation::SendQuery;
  const int count = query ? ++queryCount_ : ++commandCount_;
  extended_ = 0;
  if (scenario_.absent || !portOpen_) {
    outcome.result = kResultNoHardware;
    return;
  }
  const Action* failure = nullptr;
  for (const Rule& rule : scenario_.rules) {
    if (!Matches(rule.when, request, count)) continue;
    const Action& action = rule.action;
    switch (action.kind) {
      case Action::Kind::Fail:
        if (failure == nullptr) failure = &action;
        break;
      case Action::Kind::StatusUpdate:
        outcome.events.push_back({RegisterEvent::Kind::StatusUpdate, action.code, {}});
        break;
      case Action::Kind::DataReceived:
        outcome.events.push_back({RegisterEvent::Kind::DataReceived, 0, action.text});
        break;
      case Action::Kind::Delay:
        outcome.delay += action.delay;
        break;
      case Action::Kind::Drop:
        outcome.drop = true;
        break;
    }
  }
  if (failure != nullptr) {
    outcome.result = failure->code;
    extended_ = failure->extended;
  } else if (query) {
    outcome.reply = QueryReply(request.text);
  } else {
    outcome.result = model_.Execute(request.text);
  }
}

bool EmulatedRegister::Matches(const Selector& when, const Request& request, int count) const {
  const bool query = request.operation == Operation::SendQuery;
  switch (when.kind) {
    case Selector::Kind::CommandNumber:
      return !query && count == when.number;
    case Selector::Kind::QueryNumber:
      return query && count == when.number;
    case Selector::Kind::Prefix:
      return request.text.starts_with(when.prefix);
  }
  return false;
}

std::string EmulatedRegister::QueryReply(const std::string& query) {
  if (query != kStatusQuery) return {};
  if (nextStatusStep_ < scenario_.statusSteps.size()) {
    const StatusStep& step = scenario_.statusSteps[nextStatusStep_++];
    if (step.kind == StatusStep::Kind::Raw) return step.raw;
    return FormatStatusReply(ApplyStep(model_.Status(), step));
  }
  return FormatStatusReply(model_.Status());
}

void EmulatedRegister::JournalOutcome(const Request& request, const Outcome& outcome) {
  std::string line(OperationName(request.operation));
  line += '\t';
  line += request.operation == Operation::HighSpeed ? (request.value ? "true" : "false") : EscapeForLog(request.text);
  line += '\t';
  line += std::to_string(outcome.result);
  if (request.operation == Operation::SendQuery) line += '\t' + EscapeForLog(outcome.reply);
  if (outcome.delay.count() > 0) line += "\tdelayed " + std::to_string(outcome.delay.count()) + " ms";
  if (outcome.drop) line += "\tconnection dropped";
  journal_.Write(line);
  for (const RegisterEvent& event : outcome.events) journal_.Write(EventLine(event));
}

void EmulatedRegister::QueueEvent(RegisterEvent event, const std::string& what) {
  journal_.Write("console\t" + what);
  pending_.push_back(std::move(event));
}

void EmulatedRegister::SetCoverOpen(bool open) {
  const std::lock_guard lock(mutex_);
  model_.SetCoverOpen(open);
  journal_.Write(open ? "console\tcover open" : "console\tcover closed");
}

void EmulatedRegister::SetReceiptOpen(bool open) {
  const std::lock_guard lock(mutex_);
  model_.SetReceiptOpen(open);
  journal_.Write(open ? "console\treceipt open" : "console\treceipt closed");
}

void EmulatedRegister::SetPaperEmpty(Roll roll, bool empty) {
  const std::lock_guard lock(mutex_);
  const std::int32_t code = model_.SetPaperEmpty(roll, empty);
  const std::string what = std::string(roll == Roll::Receipt ? "receipt" : "journal") + " paper " +
                           (empty ? "empty" : "refilled");
  QueueEvent({RegisterEvent::Kind::StatusUpdate, code, {}}, what);
}

void EmulatedRegister::SendData(const std::string& text) {
  const std::lock_guard lock(mutex_);
  QueueEvent({RegisterEvent::Kind::DataReceived, 0, text}, "data " + EscapeForLog(text));
}

StatusFields EmulatedRegister::Status() {
  const std::lock_guard lock(mutex_);
  return model_.Status();
}

std::string EmulatedRegister::Display() {
  const std::lock_guard lock(mutex_);
  return model_.Display();
}

std::vector<std::string> EmulatedRegister::ArticleTable() {
  const std::lock_guard lock(mutex_);
  return model_.ArticleTable();
}

unsigned EmulatedRegister::ArticleTableVersion() {
  const std::lock_guard lock(mutex_);
  return model_.ArticleTableVersion();
}

}  // namespace zelko::emulator
