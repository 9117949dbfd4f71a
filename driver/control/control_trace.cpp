#include "control_trace.h"

#include <chrono>
#include <ostream>

#include "text.h"
#include "utc_time.h"

namespace zelko {

namespace {

using Clock = std::chrono::steady_clock;

class TracedControl final : public RegisterControl, private RegisterEvents {
 public:
  TracedControl(std::unique_ptr<RegisterControl> inner, const HostServices& host, std::string path,
                std::ostream& diagnostics)
      : inner_(std::move(inner)), file_(host.OpenAppend(path)), path_(std::move(path)), diagnostics_(diagnostics) {
    if (!file_) diagnostics_ << "ZELKO_CONTROL_LOG: cannot write to " << path_ << "\n";
  }

  void SetEventHandler(RegisterEvents* events) override {
    events_ = events;
    inner_->SetEventHandler(events ? this : nullptr);
  }

  std::int32_t ClosePort() override {
    const Clock::time_point start = Clock::now();
    const std::int32_t result = inner_->ClosePort();
    Operation(start, "ClosePort", "", std::to_string(result), "");
    return result;
  }

  std::int32_t OpenPort(std::string_view port) override {
    const Clock::time_point start = Clock::now();
    const std::int32_t result = inner_->OpenPort(port);
    Operation(start, "OpenPort", port, std::to_string(result), "");
    return result;
  }

  void SetHighSpeed(bool value) override {
    const Clock::time_point start = Clock::now();
    inner_->SetHighSpeed(value);
    Operation(start, "HighSpeed", value ? "true" : "false", "", "");
  }

  std::int32_t SendCommand(std::string_view text) override {
    const Clock::time_point start = Clock::now();
    const std::int32_t result = inner_->SendCommand(text);
    Operation(start, "SendCommand", text, std::to_string(result), "");
    return result;
  }

  QueryResult SendQuery(std::string_view text) override {
    const Clock::time_point start = Clock::now();
    QueryResult result = inner_->SendQuery(text);
    Operation(start, "SendQuery", text, std::to_string(result.code), result.reply);
    return result;
  }

  std::int32_t ResultCodeExtended() override {
    const Clock::time_point start = Clock::now();
    const std::int32_t value = inner_->ResultCodeExtended();
    Operation(start, "ResultCodeExtended", "", "", std::to_string(value));
    return value;
  }

 private:
  void StatusUpdate(std::int32_t code) override {
    Line("event\tStatusUpdate\t" + std::to_string(code));
    if (events_) events_->StatusUpdate(code);
  }

  void DataReceived(const std::string& text) override {
    Line("event\tDataReceived\t" + EscapeForLog(text));
    if (events_) events_->DataReceived(text);
  }

  void Operation(Clock::time_point start, std::string_view name, std::string_view argument,
                 const std::string& result, std::string_view replyOrValue) {
    const auto taken = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    Line(std::string(name) + "\t" + EscapeForLog(argument) + "\t" + result + "\t" + EscapeForLog(replyOrValue) + "\t" +
         std::to_string(taken));
  }

  void Line(const std::string& fields) {
    if (!file_) return;
    const std::string line = UtcTimeText(std::chrono::system_clock::now(), true) + "\t" + fields + "\n";
    if (lines_ >= kTraceMaxLines || line.size() > kTraceMaxBytes - bytes_) {
      diagnostics_ << "ZELKO_CONTROL_LOG: more than one run keeps (" << kTraceMaxLines << " lines, "
                   << kTraceMaxBytes / (1024 * 1024) << " MiB); the rest is not logged to " << path_ << "\n";
      file_.reset();
      return;
    }
    ++lines_;
    bytes_ += line.size();
    if (!file_->Write(line)) {
      diagnostics_ << "ZELKO_CONTROL_LOG: cannot write to " << path_ << "\n";
      file_.reset();
    }
  }

  std::unique_ptr<RegisterControl> inner_;
  std::unique_ptr<ByteSink> file_;
  std::string path_;
  std::ostream& diagnostics_;
  RegisterEvents* events_ = nullptr;
  std::size_t lines_ = 0;
  std::size_t bytes_ = 0;
};

}  // namespace

std::unique_ptr<RegisterControl> TraceControl(std::unique_ptr<RegisterControl> inner, const HostServices& host,
                                              const std::string& path, std::ostream& diagnostics) {
  return std::make_unique<TracedControl>(std::move(inner), host, path, diagnostics);
}

}  // namespace zelko
