#include "tcp_register_control.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <utility>

#include "emulator_protocol.h"
#include "tcp_connection.h"

namespace zelko {

namespace {

using nlohmann::json;

// The longest wait for one operation. A longer timeout counts as this, which
// also keeps every deadline far from the clock's range.
constexpr std::chrono::milliseconds kMaxTimeout = std::chrono::hours(1);

// How long closing the port waits right after an operation ran out of time:
// a register that let one operation time out does not hold up the end of the
// run (the failure report's closing of the port) by a whole timeout more.
constexpr std::chrono::milliseconds kCloseAfterTimeoutWait{250};

// A connection unused for this long is checked before a request goes out: the
// register may have closed it meanwhile (ZelkoEmulator drops idle clients),
// and the request then goes out on a new one instead of being lost.
constexpr std::chrono::seconds kQuietBeforeCheck{1};

// A peer that sends a line longer than this is not speaking the protocol.
constexpr std::size_t kMaxLineBytes = 64 * 1024 * 1024;

std::optional<std::int32_t> Int32Field(const json& object, const char* name) {
  const auto field = object.find(name);
  if (field == object.end() || !field->is_number_integer()) return std::nullopt;
  const auto value = field->get<std::int64_t>();
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::optional<std::string> TextField(const json& object, const char* name) {
  const auto field = object.find(name);
  if (field == object.end() || !field->is_string()) return std::nullopt;
  return ProtocolTextToBytes(field->get_ref<const std::string&>());
}

class TcpRegisterControl final : public RegisterControl {
 public:
  TcpRegisterControl(std::string host, std::string port, std::chrono::milliseconds timeout)
      : host_(std::move(host)), port_(std::move(port)), timeout_(std::min(timeout, kMaxTimeout)) {}

  void SetEventHandler(RegisterEvents* events) override { events_ = events; }

  std::int32_t ClosePort() override {
    return Exchange({{"op", protocol::kClosePort}}, "result", nullptr,
                    timedOut_ ? std::min(timeout_, kCloseAfterTimeoutWait) : timeout_)
        .code;
  }

  std::int32_t OpenPort(std::string_view port) override {
    return ResultOf({{"op", protocol::kOpenPort}, {"port", BytesToProtocolText(port)}});
  }

  void SetHighSpeed(bool value) override { ResultOf({{"op", protocol::kHighSpeed}, {"value", value}}); }

  std::int32_t SendCommand(std::string_view text) override {
    return ResultOf({{"op", protocol::kSendCommand}, {"text", BytesToProtocolText(text)}});
  }

  QueryResult SendQuery(std::string_view text) override {
    const Answer answer =
        Exchange({{"op", protocol::kSendQuery}, {"text", BytesToProtocolText(text)}}, "result", "reply");
    if (!answer.response) return {answer.code, {}};
    return {answer.code, *TextField(*answer.response, "reply")};
  }

  std::int32_t ResultCodeExtended() override {
    const Answer answer = Exchange({{"op", protocol::kResultCodeExtended}}, "value");
    return answer.response ? answer.code : 0;
  }

 private:
  // The response (with `code` read from its number field), or no response and
  // the code that says why (107 or 112).
  struct Answer {
    std::int32_t code;
    std::optional<json> response;
  };

  std::int32_t ResultOf(json request) { return Exchange(std::move(request), "result").code; }

  // One request and its response. The deadline is fixed here: events and
  // stale responses are handled on the way but never move it.
  Answer Exchange(json request, const char* numberField, const char* textField = nullptr) {
    return Exchange(std::move(request), numberField, textField, timeout_);
  }

  Answer Exchange(json request, const char* numberField, const char* textField, std::chrono::milliseconds wait) {
    const auto deadline = TcpConnection::Clock::now() + wait;
    const Answer answer = ExchangeUntil(std::move(request), numberField, textField, deadline);
    timedOut_ = answer.code == kResultTimeout || (!answer.response && TcpConnection::Clock::now() >= deadline);
    lastUsed_ = TcpConnection::Clock::now();
    return answer;
  }

  Answer ExchangeUntil(json request, const char* numberField, const char* textField,
                       TcpConnection::Clock::time_point deadline) {
    if (connection_ && TcpConnection::Clock::now() - lastUsed_ >= kQuietBeforeCheck &&
        connection_->PeerHasClosed()) {
      connection_.reset();
    }
    if (!connection_) Connect(deadline);
    const std::int64_t id = nextId_++;
    request["id"] = id;
    if (!connection_) return Lost();
    if (!connection_->SendAll(request.dump() + "\n", deadline)) {
      // A register that takes no more requests; what went out of this one leaves the connection unusable.
      if (TcpConnection::Clock::now() < deadline) return Lost();
      connection_.reset();
      return {kResultTimeout, std::nullopt};
    }
    for (;;) {
      std::string line;
      const auto status = NextLine(line, deadline);
      if (status == TcpConnection::ReceiveStatus::TimedOut) return {kResultTimeout, std::nullopt};
      if (status == TcpConnection::ReceiveStatus::Closed) return Lost();
      json message = json::parse(line, nullptr, false);
      if (!message.is_object()) return Lost();
      if (message.contains("event")) {
        if (!Dispatch(message)) return Lost();
        continue;
      }
      const auto responseId = message.find("id");
      if (responseId == message.end() || !responseId->is_number_integer()) return Lost();
      if (responseId->get<std::int64_t>() != id) continue;  // late response to an operation that timed out
      const auto code = Int32Field(message, numberField);
      if (!code || (textField != nullptr && !TextField(message, textField))) return Lost();
      return {*code, std::move(message)};
    }
  }

  void Connect(TcpConnection::Clock::time_point deadline) {
    connection_ = ConnectTcp(host_, port_, deadline);
    received_.clear();
  }

  Answer Lost() {
    connection_.reset();
    return {kResultNoHardware, std::nullopt};
  }

  // Takes the next LF-ended line from what has been received, waiting for more
  // as needed. Lines already received count against the deadline too, so that
  // a register that never stops talking cannot keep the operation waiting.
  TcpConnection::ReceiveStatus NextLine(std::string& line, TcpConnection::Clock::time_point deadline) {
    std::size_t scanned = 0;
    for (;;) {
      if (TcpConnection::Clock::now() >= deadline) return TcpConnection::ReceiveStatus::TimedOut;
      const std::size_t end = received_.find('\n', scanned);
      if (end != std::string::npos) {
        line.assign(received_, 0, end);
        received_.erase(0, end + 1);
        return TcpConnection::ReceiveStatus::Data;
      }
      if (received_.size() > kMaxLineBytes) return TcpConnection::ReceiveStatus::Closed;
      scanned = received_.size();
      const auto status = connection_->Receive(received_, deadline);
      if (status != TcpConnection::ReceiveStatus::Data) return status;
    }
  }

  // Hands an event to the handlers; false when the event line is malformed.
  bool Dispatch(const json& message) {
    const json& name = message.at("event");
    if (name == protocol::kStatusUpdate) {
      const auto code = Int32Field(message, "code");
      if (!code) return false;
      if (events_ != nullptr) events_->StatusUpdate(*code);
    } else if (name == protocol::kDataReceived) {
      const auto text = TextField(message, "text");
      if (!text) return false;
      if (events_ != nullptr) events_->DataReceived(*text);
    }
    return true;
  }

  std::string host_;
  std::string port_;
  std::chrono::milliseconds timeout_;
  RegisterEvents* events_ = nullptr;
  std::unique_ptr<TcpConnection> connection_;
  std::string received_;
  std::int64_t nextId_ = 1;
  // The last operation ran out of time (no response, or no connection, by its deadline).
  bool timedOut_ = false;
  TcpConnection::Clock::time_point lastUsed_;
};

}  // namespace

std::unique_ptr<RegisterControl> MakeTcpRegisterControl(const std::string& host, const std::string& port,
                                                        std::chrono::milliseconds timeout) {
  return std::make_unique<TcpRegisterControl>(host, port, timeout);
}

}  // namespace zelko
