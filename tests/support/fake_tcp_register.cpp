#include "fake_tcp_register.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "emulator_protocol.h"
#include "loopback.h"

namespace zelko::testing {

namespace {

using nlohmann::json;

bool SendLine(int fd, const std::string& line) {
  const std::string bytes = line + "\n";
  return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

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

}  // namespace

std::string StatusEventLine(std::int32_t code) { return json{{"event", "StatusUpdate"}, {"code", code}}.dump(); }

std::string DataEventLine(const std::string& bytes) {
  return json{{"event", "DataReceived"}, {"text", BytesToProtocolText(bytes)}}.dump();
}

FakeTcpRegister::FakeTcpRegister(Script script) : script_(std::move(script)) {
  listener_ = ListenOnLoopback(port_);
  if (listener_ < 0 || pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("fake register: cannot listen on loopback");
  thread_ = std::thread([this] { Serve(); });
}

FakeTcpRegister::~FakeTcpRegister() {
  const char stop = 's';
  (void)!write(wake_[1], &stop, 1);
  thread_.join();
  close(listener_);
  close(wake_[0]);
  close(wake_[1]);
}

std::vector<std::string> FakeTcpRegister::Operations() const {
  std::lock_guard lock(mutex_);
  return operations_;
}

std::vector<std::int64_t> FakeTcpRegister::Ids() const {
  std::lock_guard lock(mutex_);
  return ids_;
}

int FakeTcpRegister::Connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

// Waits out a delay; false when the register is being stopped.
bool FakeTcpRegister::Sleep(std::chrono::milliseconds delay) {
  pollfd wake{wake_[0], POLLIN, 0};
  return poll(&wake, 1, static_cast<int>(delay.count())) == 0;
}

// Until the client closes the connection or the register is stopped.
void FakeTcpRegister::SendForever(int fd, const std::string& bytes) {
  std::size_t offset = 0;
  for (;;) {
    pollfd entries[2] = {{fd, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 || (entries[1].revents & POLLIN) != 0) return;
    const ssize_t sent = send(fd, bytes.data() + offset, bytes.size() - offset, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && errno != EAGAIN) return;
    if (sent > 0) offset = (offset + static_cast<std::size_t>(sent)) % bytes.size();
  }
}

void FakeTcpRegister::Serve() {
  for (;;) {
    pollfd entries[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 || (entries[1].revents & POLLIN) != 0) return;
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    ServeConnection(fd);
    close(fd);
  }
}

void FakeTcpRegister::ServeConnection(int fd) {
  std::string received;
  for (;;) {
    for (auto end = received.find('\n'); end != std::string::npos; end = received.find('\n')) {
      const std::string line = received.substr(0, end);
      received.erase(0, end + 1);
      if (!Answer(fd, line)) return;
    }
    pollfd entries[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 || (entries[1].revents & POLLIN) != 0) return;
    char buffer[4096];
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    received.append(buffer, static_cast<std::size_t>(got));
  }
}

// False when the connection is to end.
bool FakeTcpRegister::Answer(int fd, const std::string& line) {
  const json request = json::parse(line, nullptr, false);
  if (!request.is_object()) return false;
  const std::string operation = Describe(request);
  const auto id = request.value("id", std::int64_t{-1});
  std::size_t index = 0;
  {
    std::lock_guard lock(mutex_);
    index = operations_.size();
    operations_.push_back(operation);
    ids_.push_back(id);
  }
  const FakeReply reply = script_(operation, index);
  if (reply.delay.count() > 0 && !Sleep(reply.delay)) return false;
  for (const std::string& before : reply.linesBefore) {
    if (!SendLine(fd, before)) return false;
  }
  if (reply.dropConnection) return false;
  if (!reply.endless.empty()) {
    SendForever(fd, reply.endless);
    return false;
  }
  if (reply.rawResponse) return SendLine(fd, *reply.rawResponse);
  json response{{"id", id}};
  if (request.value("op", std::string()) == "ResultCodeExtended") {
    response["value"] = reply.result;
  } else {
    response["result"] = reply.result;
  }
  if (request.value("op", std::string()) == "SendQuery") response["reply"] = BytesToProtocolText(reply.reply);
  return SendLine(fd, response.dump());
}

FakeTcpRegister::Script RegisterScript::Build() const {
  auto script = std::make_shared<RegisterScript>(*this);
  auto statusQueries = std::make_shared<std::size_t>(0);
  return [script, statusQueries](const std::string& operation, std::size_t) {
    FakeReply reply;
    if (const auto events = script->eventsBefore.find(operation); events != script->eventsBefore.end()) {
      reply.linesBefore = events->second;
    }
    if (operation == "SendQuery <</?s") {
      const auto& replies = script->statusReplies;
      const auto& [result, text] = replies[std::min(*statusQueries, replies.size() - 1)];
      ++*statusQueries;
      reply.result = result;
      reply.reply = text;
    } else if (operation == "ResultCodeExtended") {
      reply.result = script->extendedCode;
    } else if (operation.starts_with("SendCommand ")) {
      const auto failing = script->failingCommands.find(operation.substr(12));
      if (failing != script->failingCommands.end()) reply.result = failing->second;
    }
    return reply;
  };
}

}  // namespace zelko::testing
