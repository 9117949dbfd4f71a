#include "scenario.h"

#include <charconv>
#include <optional>


namespace zelko::emulator {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits a scenario line into words: a word is a run of non-blank characters,
// or a text between double quotes (blanks kept, no escapes).
class Words {
 public:
  explicit Words(std::string_view line) : rest_(line) {}

  std::optional<std::string> Next() {
    SkipBlanks();
    if (rest_.empty()) return std::nullopt;
    std::size_t end = 0;
    std::string word;
    lastWasQuoted_ = rest_.front() == '"';
    if (lastWasQuoted_) {
      end = rest_.find('"', 1);
      if (end == std::string_view::npos) {
        unterminated_ = true;
        return std::nullopt;
      }
      word = rest_.substr(1, end - 1);
      ++end;
    } else {
      while (end < rest_.size() && !IsBlank(rest_[end])) ++end;
      word = rest_.substr(0, end);
    }
    rest_.remove_prefix(end);
    return word;
  }

  // Everything after the single blank that ends the current word.
  std::string Remainder() {
    if (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
    std::string remainder(rest_);
    rest_ = {};
    return remainder;
  }

  bool AtEnd() {
    SkipBlanks();
    return rest_.empty();
  }
  bool Unterminated() const { return unterminated_; }
  bool LastWasQuoted() const { return lastWasQuoted_; }

 private:
  void SkipBlanks() {
    while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  }

  std::string_view rest_;
  bool unterminated_ = false;
  bool lastWasQuoted_ = false;
};

std::optional<std::int32_t> ParseInt(const std::optional<std::string>& word) {
  if (!word) return std::nullopt;
  std::int32_t value = 0;
  const char* end = word->data() + word->size();
  const auto [stop, error] = std::from_chars(word->data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::optional<bool> ParseState(const std::optional<std::string>& word, std::string_view on,
                               std::string_view off) {
  if (word == on) return true;
  if (word == off) return false;
  return std::nullopt;
}

std::optional<StatusStep> ParseStatusStep(const std::string& word, bool quoted) {
  StatusStep step;
  if (quoted) {
    step.kind = StatusStep::Kind::Raw;
    step.raw = word;
  } else if (word == "ready") {
    step.kind = StatusStep::Kind::Ready;
  } else if (word == "cover-open") {
    step.kind = StatusStep::Kind::CoverOpen;
  } else if (word == "receipt-open") {
    step.kind = StatusStep::Kind::ReceiptOpen;
  } else if (word.starts_with("fault:")) {
    const auto code = ParseInt(word.substr(6));
    if (!code) return std::nullopt;
    step.kind = StatusStep::Kind::Fault;
    step.code = *code;
  } else {
    return std::nullopt;
  }
  return step;
}

class LineParser {
 public:
  LineParser(std::string_view line, Scenario& scenario) : words_(line), scenario_(scenario) {}

  // Returns the error, empty when the line was understood.
  std::string Parse() {
    const auto keyword = words_.Next();
    if (!keyword) return {};
    std::string error;
    if (*keyword == "absent") {
      scenario_.absent = true;
    } else if (*keyword == "port") {
      const auto port = words_.Next();
      if (!port) return "expected port <text>";
      scenario_.port = *port;
    } else if (*keyword == "cover") {
      error = SetState(scenario_.coverOpen, "open", "closed", "cover open|closed");
    } else if (*keyword == "receipt") {
      error = SetState(scenario_.receiptOpen, "open", "closed", "receipt open|closed");
    } else if (*keyword == "paper") {
      error = ParsePaper();
    } else if (*keyword == "status") {
      error = ParseStatusSteps();
    } else if (*keyword == "on") {
      error = ParseRule();
    } else {
      return "unknown keyword \"" + *keyword + "\"";
    }
    if (error.empty() && !words_.AtEnd()) error = "unexpected text after the line's last field";
    if (words_.Unterminated()) error = "missing closing double quote";
    return error;
  }

 private:
  std::string SetState(bool& state, std::string_view on, std::string_view off, std::string_view usage) {
    const auto value = ParseState(words_.Next(), on, off);
    if (!value) return "expected " + std::string(usage);
    state = *value;
    return {};
  }

  std::string ParsePaper() {
    const auto roll = words_.Next();
    if (roll == "receipt") return SetState(scenario_.receiptPaperEmpty, "empty", "present", "paper receipt empty|present");
    if (roll == "journal") return SetState(scenario_.journalPaperEmpty, "empty", "present", "paper journal empty|present");
    return "expected paper receipt|journal empty|present";
  }

  std::string ParseStatusSteps() {
    bool any = false;
    while (!words_.AtEnd()) {
      const auto word = words_.Next();
      if (!word) break;
      const auto step = ParseStatusStep(*word, words_.LastWasQuoted());
      if (!step) return "unknown status reply \"" + *word + "\" (ready, cover-open, receipt-open, fault:<code> or \"<reply>\")";
      scenario_.statusSteps.push_back(*step);
      any = true;
    }
    if (!any && !words_.Unterminated()) return "status needs at least one reply";
    return {};
  }

  std::string ParseRule() {
    Rule rule;
    const auto selector = words_.Next();
    if (selector == "command" || selector == "query") {
      const auto number = ParseInt(words_.Next());
      if (!number || *number < 1) return "expected a number from 1 after \"" + *selector + "\"";
      rule.when.kind = selector == "command" ? Selector::Kind::CommandNumber : Selector::Kind::QueryNumber;
      rule.when.number = *number;
    } else if (selector == "prefix") {
      const auto prefix = words_.Next();
      if (!prefix) return "expected the prefix text after \"prefix\"";
      rule.when.kind = Selector::Kind::Prefix;
      rule.when.prefix = *prefix;
    } else {
      return "expected command <n>, query <n> or prefix <text> after \"on\"";
    }
    std::string error = ParseAction(rule.action);
    if (error.empty()) scenario_.rules.push_back(rule);
    return error;
  }

  std::string ParseAction(Action& action) {
    const auto verb = words_.Next();
    if (verb == "fail") {
      const auto code = ParseInt(words_.Next());
      if (!code) return "expected fail <code> [<extended code>]";
      action.kind = Action::Kind::Fail;
      action.code = *code;
      if (!words_.AtEnd()) {
        const auto extended = ParseInt(words_.Next());
        if (!extended) return "expected fail <code> [<extended code>]";
        action.extended = *extended;
      }
    } else if (verb == "status-update") {
      const auto code = ParseInt(words_.Next());
      if (!code) return "expected status-update <code>";
      action.kind = Action::Kind::StatusUpdate;
      action.code = *code;
    } else if (verb == "data") {
      action.kind = Action::Kind::DataReceived;
      action.text = words_.Remainder();
    } else if (verb == "delay") {
      const auto ms = ParseInt(words_.Next());
      if (!ms || *ms < 0) return "expected delay <milliseconds>";
      action.kind = Action::Kind::Delay;
      action.delay = std::chrono::milliseconds(*ms);
    } else if (verb == "drop") {
      action.kind = Action::Kind::Drop;
    } else {
      return "expected fail, status-update, data, delay or drop";
    }
    return {};
  }

  Words words_;
  Scenario& scenario_;
};

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    text.remove_prefix(end + (crlf ? 2 : 1));
  }
  return lines;
}

}  // namespace

ScenarioParse ParseScenario(std::string_view text) {
  ScenarioParse parse;
  int number = 0;
  for (const std::string_view line : SplitLines(text)) {
    ++number;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    const std::string error = LineParser(line, parse.scenario).Parse();
    if (!error.empty()) {
      parse.error = "line " + std::to_string(number) + ": " + error;
      return parse;
    }
  }
  return parse;
}

ScenarioParse ReadScenarioFile(const HostServices& host, const std::string& path) {
  const std::optional<std::string> text = ReadAll(host.OpenRead(path));
  if (!text) return {{}, "cannot read the scenario file " + path};
  ScenarioParse parse = ParseScenario(*text);
  if (!parse.error.empty()) parse.error = path + ", " + parse.error;
  return parse;
}

}  // namespace zelko::emulator
