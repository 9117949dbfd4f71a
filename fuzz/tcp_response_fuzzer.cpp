// The driver's TCP client of the emulator protocol, reading a server's byte
// stream that the fuzzer writes: events, responses, stale ids, malformed
// lines, lost connections and time-outs. Every request it sends must be one
// well-formed JSON line with a new id.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "emulator_protocol.h"
#include "fuzz_check.h"
#include "register_control.h"
#include "tcp_connection.h"
#include "tcp_register_control.h"

namespace zelko {
namespace {

using fuzzing::Require;

// What the fake server has left to send, and what the client has sent.
struct ServerStream {
  std::string_view bytes;
  std::size_t piece = 1;
  bool endTimesOut = false;  // after the last byte: a silent server rather than a closed one
  std::int64_t lastId = 0;
};
ServerStream stream;

class StreamConnection final : public TcpConnection {
 public:
  bool SendAll(std::string_view bytes, Clock::time_point) override {
    Require(bytes.ends_with('\n') && bytes.find('\n') == bytes.size() - 1);
    const auto request = nlohmann::json::parse(bytes);
    const auto id = request.at("id").get<std::int64_t>();
    Require(id > stream.lastId);
    stream.lastId = id;
    return true;
  }

  ReceiveStatus Receive(std::string& data, Clock::time_point) override {
    if (stream.bytes.empty()) return stream.endTimesOut ? ReceiveStatus::TimedOut : ReceiveStatus::Closed;
    const std::size_t count = std::min(stream.piece, stream.bytes.size());
    data.append(stream.bytes.substr(0, count));
    stream.bytes.remove_prefix(count);
    return ReceiveStatus::Data;
  }

  bool PeerHasClosed() override { return false; }
};

class EventSink final : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t) override { ++events; }
  void DataReceived(const std::string& text) override {
    Require(ProtocolTextToBytes(BytesToProtocolText(text)) == text);
    ++events;
  }
  int events = 0;
};

// One round of the six operations, with texts that hold 8-bit bytes and a NUL.
void RunOperations(RegisterControl& control) {
  std::string port = std::string("COM1\xE0\0", 6);
  control.ClosePort();
  control.SetHighSpeed(true);
  control.OpenPort(port);
  control.SendCommand(std::string("=D1/(Citt\xE0\0)", 12));
  control.SendQuery("<</?s");
  control.ResultCodeExtended();
}

}  // namespace

// The fake server stands where the socket would.
std::unique_ptr<TcpConnection> ConnectTcp(const std::string&, const std::string&, TcpConnection::Clock::time_point) {
  if (stream.bytes.empty()) return nullptr;
  return std::make_unique<StreamConnection>();
}

}  // namespace zelko

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko;
  stream = ServerStream{std::string_view(reinterpret_cast<const char*>(data), size), 1 + size % 29, size % 3 == 0};
  const auto control = MakeTcpRegisterControl("emulator", "7070", std::chrono::hours(1));
  EventSink events;
  control->SetEventHandler(&events);
  for (int round = 0; round < 16 && !stream.bytes.empty(); ++round) RunOperations(*control);
  RunOperations(*control);
  return 0;
}
