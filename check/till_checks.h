#pragma once

#include <string>
#include <vector>

#include "control_selection.h"
#include "driver_environment.h"
#include "finding.h"
#include "host_services.h"
#include "settings_store.h"

namespace zelko {

// What a till offers a driver run, as the run itself would find it.
struct Till {
  const HostServices& host;
  const SettingsStore& store;
  const DriverEnvironment& environment;
  const ControlSelection& controls;
};

// The checks that touch no register, each a finding with a stable id:
//   host      the host name and the driver's title
//   files     the command, result and data files of a run here, and how this user can write them
//   settings  the three settings as a run loads them, and whether the store can be written
//   lock      whether a run holds the run lock now
//   loader    "config.cmd" beside a PLUZELKO here, and the port and speed it gives
//   control   the control a run would use, whether a TCP register answers; on Windows the
//             maker's control's own findings follow (control.*)
// Nothing is left behind and no file changes.
std::vector<Finding> CheckTill(const Till& till);

// What file virtualization does to these files here (one implementation per
// platform): a line when this process is virtualized, one for each per-user
// copy that hides a file from a virtualized caller. Empty where there is none.
std::vector<std::string> VirtualizationProblems(const std::vector<std::string>& paths);

}  // namespace zelko
