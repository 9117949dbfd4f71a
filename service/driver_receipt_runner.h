#pragma once

#include "control_selection.h"
#include "driver_environment.h"
#include "host_services.h"
#include "receipt_runner.h"
#include "settings_store.h"

namespace zelko::service {

// The driver's own run, in this process: its lock, settings, operator and
// control, the result and the register's data kept for the reply instead of
// written to files.
class DriverReceiptRunner final : public ReceiptRunner {
 public:
  DriverReceiptRunner(const HostServices& host, SettingsStore& store, DriverEnvironment environment,
                      const ControlSelection& controls)
      : host_(host), store_(store), environment_(std::move(environment)), controls_(controls) {}
  RunOutcome Run(const Receipt& receipt, RunProgress& progress) override;

 private:
  const HostServices& host_;
  SettingsStore& store_;
  DriverEnvironment environment_;
  const ControlSelection& controls_;
};

}  // namespace zelko::service
