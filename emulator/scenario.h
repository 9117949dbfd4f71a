#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host_services.h"

namespace zelko::emulator {

// One scripted reply to the status query. Scripted replies shape what the
// register reports; they do not change its state.
struct StatusStep {
  enum class Kind { Ready, CoverOpen, ReceiptOpen, Fault, Raw };
  Kind kind = Kind::Ready;
  std::int32_t code = 0;  // Fault
  std::string raw;        // Raw: the whole reply
};

// Which requests a rule applies to. Numbers count from the last OpenPort.
struct Selector {
  enum class Kind { CommandNumber, QueryNumber, Prefix };
  Kind kind = Kind::CommandNumber;
  int number = 0;
  std::string prefix;  // matched against command and query texts
};

struct Action {
  enum class Kind { Fail, StatusUpdate, DataReceived, Delay, Drop };
  Kind kind = Kind::Fail;
  std::int32_t code = 0;      // Fail: result code; StatusUpdate: the event's code
  std::int32_t extended = 0;  // Fail: ResultCodeExtended afterwards
  std::string text;           // DataReceived
  std::chrono::milliseconds delay{0};
};

struct Rule {
  Selector when;
  Action action;
};

struct Scenario {
  bool absent = false;
  std::string port;  // "port <text>": the register answers on this port only; empty: on any
  bool coverOpen = false;
  bool receiptOpen = false;
  bool receiptPaperEmpty = false;
  bool journalPaperEmpty = false;
  std::vector<StatusStep> statusSteps;
  std::vector<Rule> rules;
};

struct ScenarioParse {
  Scenario scenario;
  std::string error;  // empty when the text was valid: "line N: what is wrong"
};

// Parses the line-based scenario language (described in docs/emulator.md).
// Lines end at LF, CR LF or CR; blank lines and lines starting with "#" are skipped.
ScenarioParse ParseScenario(std::string_view text);
// Reads and parses the file; the error names the file when it cannot be read.
ScenarioParse ReadScenarioFile(const HostServices& host, const std::string& path);

}  // namespace zelko::emulator
