#pragma once

#include <vector>

#include "finding.h"

namespace zelko {

// The maker's control JQTZelko.JqtEcrZelko as this till has it, against what
// the driver relies on (control_dispatch_table.h), in this order:
//   control.progid       the ProgID's class (CLSID)
//   control.server       the registered server file (InprocServer32) and whether it exists
//   control.load         whether this process can load it: a DLL for another processor, a missing dependency
//   control.threading    its threading model
//   control.typelib      its type library: the registered one, else the one the created control provides
//   control.operation.<name>, six of them: dispatch id, kind of call, argument and result types
//   control.event.<name>, two of them: in the default source interface, with the argument type
//   control.events       whether the driver's event sink connects to the control, when one was created
//   control.form         created and sited on the driver's form ZelkoForm, active in place
// The list ends early where a failure leaves nothing to judge further (no
// class, no server file, a server this process cannot load); without a type
// library, the operations and events are left out. Texts are single-byte in
// the system code page, as the driver's own. The control is created but never
// called, so nothing reaches a register. Call it on a thread that may start a
// single-threaded COM apartment, as the driver's own thread. Empty where there
// is no ActiveX control (POSIX).
std::vector<Finding> InspectRegisterControl();

}  // namespace zelko
