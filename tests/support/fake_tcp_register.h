#pragma once

// A register on loopback that speaks the emulator protocol, answers from a
// script and records every operation it receives. One connection at a time;
// a client that reconnects is served again.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zelko::testing {

struct FakeReply {
  std::int32_t result = 0;  // the "value" of ResultCodeExtended
  std::string reply;        // SendQuery only
  std::vector<std::string> linesBefore;  // sent before the response: events, stale responses, garbage
  std::chrono::milliseconds delay{0};    // before anything is sent
  bool dropConnection = false;           // close instead of answering
  std::optional<std::string> rawResponse;  // sent in place of the response line
  std::string endless;  // when set, sent over and over in place of the response, until the client goes
};

// "StatusUpdate" and "DataReceived" event lines.
std::string StatusEventLine(std::int32_t code);
std::string DataEventLine(const std::string& bytes);

class FakeTcpRegister {
 public:
  // Called with the operation as recorded ("SendQuery <</?s") and its index from 0.
  using Script = std::function<FakeReply(const std::string& operation, std::size_t index)>;

  explicit FakeTcpRegister(Script script);
  ~FakeTcpRegister();
  FakeTcpRegister(const FakeTcpRegister&) = delete;
  FakeTcpRegister& operator=(const FakeTcpRegister&) = delete;

  std::string Port() const { return std::to_string(port_); }
  // "ClosePort", "HighSpeed true", "OpenPort COM1", "SendCommand =K", "SendQuery <</?s", "ResultCodeExtended".
  std::vector<std::string> Operations() const;
  std::vector<std::int64_t> Ids() const;
  int Connections() const;

 private:
  void Serve();
  void ServeConnection(int fd);
  bool Answer(int fd, const std::string& line);
  bool Sleep(std::chrono::milliseconds delay);
  void SendForever(int fd, const std::string& bytes);

  Script script_;
  int listener_ = -1;
  int wake_[2] = {-1, -1};
  std::uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> operations_;
  std::vector<std::int64_t> ids_;
  int connections_ = 0;
  std::thread thread_;
};

// The script most tests need: status replies in turn (the last repeats),
// failing commands, the extended code, and event lines before the response
// to a given operation (each time it is received).
struct RegisterScript {
  std::vector<std::pair<std::int32_t, std::string>> statusReplies{{0, "0000000000001234"}};
  std::map<std::string, std::int32_t> failingCommands;
  std::int32_t extendedCode = 0;
  std::map<std::string, std::vector<std::string>> eventsBefore;

  FakeTcpRegister::Script Build() const;
};

}  // namespace zelko::testing
