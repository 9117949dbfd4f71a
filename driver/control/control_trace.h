#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "host_services.h"
#include "register_control.h"

namespace zelko {

// What one control's trace takes at most, as the data file of a run.
inline constexpr std::size_t kTraceMaxLines = 100000;
inline constexpr std::size_t kTraceMaxBytes = 16 * 1024 * 1024;

// A control that passes everything on to `inner` and appends to the trace
// file (ZELKO_CONTROL_LOG, a file of `host`) one tab-separated line per
// operation and per event, for support:
//   <UTC time, ms><TAB><operation><TAB><argument><TAB><result><TAB><reply or value><TAB><ms taken>
//   <UTC time, ms><TAB>event<TAB>StatusUpdate|DataReceived<TAB><code or text>
// Texts are escaped as in the operator log. Beyond the limits above the rest
// is left out, which one diagnostics line says; a trace that cannot be
// written is said once, and the control works on.
std::unique_ptr<RegisterControl> TraceControl(std::unique_ptr<RegisterControl> inner, const HostServices& host,
                                              const std::string& path, std::ostream& diagnostics);

}  // namespace zelko
