#include "control_trace.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "event_recorder.h"
#include "memory_host.h"
#include "scripted_control.h"

namespace zelko {
namespace {

constexpr const char* kTrace = "c:\\trace.txt";

// The trace's lines without their time, which must read as UTC with milliseconds.
std::vector<std::string> Untimed(const std::string& trace) {
  static const std::regex kTime(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\t)");
  std::vector<std::string> lines;
  std::istringstream stream(trace);
  for (std::string line; std::getline(stream, line);) {
    EXPECT_TRUE(std::regex_search(line, kTime)) << line;
    lines.push_back(std::regex_replace(line, kTime, ""));
  }
  return lines;
}

// Every operation, its events first, passes through to the register and the
// driver's handlers unchanged and leaves one line; the taken milliseconds end it.
TEST(ControlTraceTest, EveryOperationAndEventLeavesOneLine) {
  testing::MemoryHost host;
  std::ostringstream diagnostics;
  auto inner = std::make_unique<testing::ScriptedControl>();
  inner->statusReplies = {{0, "0000\t1"}};
  inner->failingCommands = {{"=S", 114}};
  inner->extendedCode = 2001;
  inner->eventsBefore["SendCommand =K"] = {testing::StatusEvent(24), testing::DataEvent("a\tb")};
  auto control = TraceControl(std::move(inner), host, kTrace, diagnostics);
  testing::EventRecorder recorder;
  control->SetEventHandler(&recorder);
  control->ClosePort();
  control->SetHighSpeed(true);
  control->OpenPort("1");
  EXPECT_EQ(control->SendCommand("=K"), 0);
  EXPECT_EQ(control->SendQuery("<</?s").reply, "0000\t1");
  EXPECT_EQ(control->SendCommand("=S"), 114);
  EXPECT_EQ(control->ResultCodeExtended(), 2001);
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{"StatusUpdate 24", "DataReceived a\tb"}));
  std::vector<std::string> lines = Untimed(host.File(kTrace).value_or(""));
  for (std::string& line : lines) {
    if (!line.starts_with("event")) line = line.substr(0, line.rfind('\t'));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"ClosePort\t\t0\t", "HighSpeed\ttrue\t\t", "OpenPort\t1\t0\t",
                                             "event\tStatusUpdate\t24", "event\tDataReceived\ta\\tb",
                                             "SendCommand\t=K\t0\t", "SendQuery\t<</?s\t0\t0000\\t1",
                                             "SendCommand\t=S\t114\t", "ResultCodeExtended\t\t\t2001"}));
  EXPECT_EQ(diagnostics.str(), "");
}

TEST(ControlTraceTest, ATraceStopsAtItsLimitAndAnUnwritableOneIsToldOnce) {
  testing::MemoryHost host;
  std::ostringstream diagnostics;
  auto control = TraceControl(std::make_unique<testing::ScriptedControl>(), host, kTrace, diagnostics);
  for (std::size_t i = 0; i <= kTraceMaxLines; ++i) control->SendCommand("=K");
  EXPECT_EQ(Untimed(host.File(kTrace).value_or("")).size(), kTraceMaxLines);
  EXPECT_EQ(diagnostics.str(), "ZELKO_CONTROL_LOG: more than one run keeps (100000 lines, 16 MiB); the rest is not "
                               "logged to c:\\trace.txt\n");

  host.FailCreate("c:\\other.txt");
  std::ostringstream unwritable;
  auto blind = TraceControl(std::make_unique<testing::ScriptedControl>(), host, "c:\\other.txt", unwritable);
  EXPECT_EQ(blind->SendCommand("=K"), 0);
  EXPECT_EQ(unwritable.str(), "ZELKO_CONTROL_LOG: cannot write to c:\\other.txt\n");
}

}  // namespace
}  // namespace zelko
