#include "builtin_emulator_control.h"

#include <ostream>
#include <thread>
#include <utility>

#include "emulated_register.h"

namespace zelko {
namespace {

using emulator::EmulatedRegister;
using emulator::Operation;
using emulator::Outcome;
using emulator::RegisterEvent;
using emulator::Request;
using emulator::Scenario;

// A scenario that cannot be used leaves the register absent, so that the run
// fails visibly instead of going on without the faults it was meant to meet.
Scenario LoadScenario(const HostServices& host, const std::string& path, std::ostream& diagnostics) {
  if (path.empty()) return {};
  emulator::ScenarioParse parse = emulator::ReadScenarioFile(host, path);
  if (parse.error.empty()) return std::move(parse.scenario);
  diagnostics << "built-in emulator: " << parse.error << "; the register is absent\n";
  Scenario absent;
  absent.absent = true;
  return absent;
}

class BuiltInEmulatorControl final : public RegisterControl {
 public:
  BuiltInEmulatorControl(const HostServices& host, const std::string& journalPath, Scenario scenario,
                         std::ostream& diagnostics)
      : journal_(host, journalPath), register_(std::move(scenario), journal_) {
    if (!journal_.Ok()) diagnostics << "built-in emulator: cannot write the journal " << journalPath << "\n";
  }

  void SetEventHandler(RegisterEvents* events) override { events_ = events; }

  std::int32_t ClosePort() override { return Run({Operation::ClosePort, {}, false}).result; }

  std::int32_t OpenPort(std::string_view port) override {
    return Run({Operation::OpenPort, std::string(port), false}).result;
  }

  void SetHighSpeed(bool value) override { Run({Operation::HighSpeed, {}, value}); }

  std::int32_t SendCommand(std::string_view text) override {
    return Run({Operation::SendCommand, std::string(text), false}).result;
  }

  QueryResult SendQuery(std::string_view text) override {
    Outcome outcome = Run({Operation::SendQuery, std::string(text), false});
    return {outcome.result, std::move(outcome.reply)};
  }

  std::int32_t ResultCodeExtended() override { return Run({Operation::ResultCodeExtended, {}, false}).result; }

 private:
  // In-process there is no connection to drop; a delay is a plain wait.
  Outcome Run(const Request& request) {
    Outcome outcome = register_.Perform(request);
    if (outcome.delay.count() > 0) std::this_thread::sleep_for(outcome.delay);
    if (events_ != nullptr) {
      for (const RegisterEvent& event : outcome.events) {
        if (event.kind == RegisterEvent::Kind::StatusUpdate) {
          events_->StatusUpdate(event.code);
        } else {
          events_->DataReceived(event.text);
        }
      }
    }
    return outcome;
  }

  emulator::Journal journal_;
  EmulatedRegister register_;
  RegisterEvents* events_ = nullptr;
};

}  // namespace

std::unique_ptr<RegisterControl> MakeBuiltInEmulatorControl(const HostServices& host, const std::string& journalPath,
                                                            const std::string& scenarioPath,
                                                            std::ostream& diagnostics) {
  return std::make_unique<BuiltInEmulatorControl>(host, journalPath, LoadScenario(host, scenarioPath, diagnostics),
                                                  diagnostics);
}

}  // namespace zelko
