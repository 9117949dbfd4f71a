// A whole driver run over files, settings, an operator and a register that
// all live in memory. The register's answers, its events and the operator's
// answers come from a script, so the run meets replies and events that no
// real register sends; it must end, with a result file, whatever they are.
// Input: the command file, then a line "===" and the script, one line each:
//   "<result>[ <reply>]"  the answer to the next operation (a query's reply)
//   "!<text>"             a data event raised before the next answer
//   "#<code>"             a status event raised before the next answer
//   "?YES" / "?NO"        the operator's answer to the next message box
// When the script runs out the register is gone (107) and the operator says YES.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "file_run.h"
#include "fake_settings_store.h"
#include "file_locations.h"
#include "fuzz_check.h"
#include "memory_host.h"
#include "scripted_control.h"

namespace zelko::fuzzing {
namespace {

using testing::MemoryHost;

constexpr std::string_view kScriptStart = "\n===\n";

class Script {
 public:
  explicit Script(std::string_view text) {
    while (!text.empty()) {
      const std::size_t end = std::min(text.find('\n'), text.size());
      lines_.emplace_back(text.substr(0, end));
      text.remove_prefix(std::min(end + 1, text.size()));
    }
  }

  // Takes the next line when it begins with `mark`.
  bool TakeMarked(char mark, std::string& rest) {
    if (lines_.empty() || lines_.front().empty() || lines_.front().front() != mark) return false;
    rest = lines_.front().substr(1);
    lines_.pop_front();
    return true;
  }

  bool TakeAnswer(std::string& line) {
    if (lines_.empty()) return false;
    line = lines_.front();
    lines_.pop_front();
    return true;
  }

 private:
  std::deque<std::string> lines_;
};

std::int32_t NumberIn(std::string_view text) {
  std::int32_t number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

// The register takes its answers and events from the script in the order the operations come.
void ScriptRegister(testing::ScriptedControl& control, Script& script) {
  control.beforeAnswer = [&script](const std::string&, RegisterEvents& events) {
    for (std::string text;;) {
      if (script.TakeMarked('!', text)) {
        events.DataReceived(text);
      } else if (script.TakeMarked('#', text)) {
        events.StatusUpdate(NumberIn(text));
      } else {
        return;
      }
    }
  };
  control.replyTo = [&script](const std::string&, std::size_t) {
    testing::ScriptedReply answer;
    std::string line;
    if (!script.TakeAnswer(line)) {
      answer.result = kResultNoHardware;
      return answer;
    }
    answer.result = NumberIn(line);
    if (const std::size_t blank = line.find(' '); blank != std::string::npos) answer.reply = line.substr(blank + 1);
    return answer;
  };
}

class ScriptedOperator final : public Operator {
 public:
  explicit ScriptedOperator(Script& script) : script_(script) {}

  OperatorAnswer Ask(const std::string&, BoxKind kind, const std::string&) override {
    std::string answer;
    const bool no = script_.TakeMarked('?', answer) && answer == "NO";
    return kind == BoxKind::Question ? (no ? OperatorAnswer::No : OperatorAnswer::Yes) : OperatorAnswer::Ok;
  }
  void ShowNotice(const std::string&, const std::string&) override {}
  void CloseNotice() override {}
  void PaceRepeatedPrompt() override {}

 private:
  Script& script_;
};

}  // namespace
}  // namespace zelko::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelko;
  using namespace zelko::fuzzing;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find(kScriptStart);
  Script script(split == std::string_view::npos ? std::string_view() : input.substr(split + kScriptStart.size()));

  MemoryHost host;
  host.files[kDefaultCommandFile] = input.substr(0, split);
  testing::FakeSettingsStore store;
  ScriptedOperator theOperator(script);
  testing::ScriptedControl control;
  ScriptRegister(control, script);
  std::ostringstream diagnostics;
  DriverRun run(host, store, theOperator, control, diagnostics);
  const int exitStatus = Main(run);

  // Files in memory are always written, so every run ends with its result file.
  Require(exitStatus == kExitSuccess || exitStatus == kExitFailureReported);
  const std::string& result = host.files.at(kDefaultResultFile);
  Require(result.ends_with("\r\n"));
  if (exitStatus == kExitSuccess) Require(result.ends_with("\r\nOK\r\n"));
  return 0;
}
