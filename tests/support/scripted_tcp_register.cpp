#include "scripted_tcp_register.h"

#include <mutex>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <thread>

#include "emulator_protocol.h"
#include "stop_signal.h"
#include "tcp_server.h"

namespace zelko::testing {

namespace {

using nlohmann::json;

std::string Text(const json& request, const char* field) {
  const auto bytes = ProtocolTextToBytes(request.value(field, std::string()));
  return bytes ? *bytes : std::string("<bad text>");
}

std::string Describe(const json& request) {
  const std::string op = request.value("op", std::string("?"));
  if (op == "OpenPort") return op + " " + Text(request, "port");
  if (op == "SendCommand" || op == "SendQuery") return op + " " + Text(request, "text");
  if (op == "HighSpeed") return op + (request.value("value", false) ? " true" : " false");
  return op;
}

std::string ResponseLine(const std::string& op, std::int64_t id, const ScriptedReply& reply) {
  json response{{"id", id}};
  response[op == "ResultCodeExtended" ? "value" : "result"] = reply.result;
  if (op == "SendQuery") response["reply"] = BytesToProtocolText(reply.reply);
  return response.dump();
}

// The events the script raises, as the lines that carry them.
class EventLines final : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t code) override { lines.push_back(StatusEventLine(code)); }
  void DataReceived(const std::string& text) override { lines.push_back(DataEventLine(text)); }
  std::vector<std::string> lines;
};

}  // namespace

std::string StatusEventLine(std::int32_t code) { return json{{"event", "StatusUpdate"}, {"code", code}}.dump(); }

std::string DataEventLine(const std::string& bytes) {
  return json{{"event", "DataReceived"}, {"text", BytesToProtocolText(bytes)}}.dump();
}

class ScriptedTcpRegister::Server final : public emulator::ConnectionHandler {
 public:
  explicit Server(RegisterScript script) : script_(std::move(script)) {
    std::string error;
    server_ = emulator::TcpServer::Listen("127.0.0.1", "0", error);
    if (!server_) throw std::runtime_error("scripted register: " + error);
    serving_ = std::thread([this] { server_->Serve(*this, stop_); });
  }

  ~Server() override {
    stop_.Trigger();
    serving_.join();
  }

  void Connected(const std::string&) override {
    const std::lock_guard lock(mutex);
    ++connections;
  }

  emulator::SessionReply Answer(std::string_view line) override {
    emulator::SessionReply session;
    const json request = json::parse(line, nullptr, false);
    if (!request.is_object()) {
      session.drop = true;
      session.problem = "not a JSON object";
      return session;
    }
    const std::string operation = Describe(request);
    const auto id = request.value("id", std::int64_t{-1});
    std::size_t index = 0;
    {
      const std::lock_guard lock(mutex);
      index = operations.size();
      operations.push_back(operation);
      ids.push_back(id);
    }
    EventLines events;
    const ScriptedReply reply = script_.Play(operation, index, &events);
    session.lines = std::move(events.lines);
    session.lines.insert(session.lines.end(), reply.linesBefore.begin(), reply.linesBefore.end());
    session.delay = reply.delay;
    session.drop = reply.dropConnection;
    if (!reply.endless.empty()) {
      session.lines.insert(session.lines.end(), reply.endless.begin(), reply.endless.end());
      session.repeat = true;
    } else {
      session.lines.push_back(reply.rawResponse ? *reply.rawResponse
                                                : ResponseLine(request.value("op", std::string()), id, reply));
    }
    return session;
  }

  void Disconnected(const std::string&) override {}
  std::string TurnAway(const std::string&) override { return emulator::BusyLine(); }

  std::uint16_t Port() const { return server_->Port(); }

  mutable std::mutex mutex;
  std::vector<std::string> operations;
  std::vector<std::int64_t> ids;
  int connections = 0;

 private:
  RegisterScript script_;
  emulator::StopSignal stop_;
  std::unique_ptr<emulator::TcpServer> server_;
  std::thread serving_;
};

ScriptedTcpRegister::ScriptedTcpRegister(RegisterScript script) : server_(std::make_unique<Server>(std::move(script))) {}

ScriptedTcpRegister::ScriptedTcpRegister(RegisterScript::ReplyTo replyTo) : ScriptedTcpRegister([&replyTo] {
  RegisterScript script;
  script.replyTo = std::move(replyTo);
  return script;
}()) {}

ScriptedTcpRegister::~ScriptedTcpRegister() = default;

std::string ScriptedTcpRegister::Port() const { return std::to_string(server_->Port()); }

std::vector<std::string> ScriptedTcpRegister::Operations() const {
  const std::lock_guard lock(server_->mutex);
  return server_->operations;
}

std::vector<std::int64_t> ScriptedTcpRegister::Ids() const {
  const std::lock_guard lock(server_->mutex);
  return server_->ids;
}

int ScriptedTcpRegister::Connections() const {
  const std::lock_guard lock(server_->mutex);
  return server_->connections;
}

}  // namespace zelko::testing
