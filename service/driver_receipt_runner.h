#pragma once

#include "driver_environment.h"
#include "host_services.h"
#include "receipt_runner.h"
#include "settings_store.h"

namespace zelko::service {

// The driver's own run, in this process: its file locations, lock, settings,
// operator and control selection, with the command file served from memory
// and the result and data files captured for the reply instead of written.
class DriverReceiptRunner final : public ReceiptRunner {
 public:
  DriverReceiptRunner(const HostServices& host, SettingsStore& store, DriverEnvironment environment)
      : host_(host), store_(store), environment_(std::move(environment)) {}
  RunOutcome Run(const std::string& commandFile, RunProgress& progress) override;

 private:
  const HostServices& host_;
  SettingsStore& store_;
  DriverEnvironment environment_;
};

}  // namespace zelko::service
