#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "control_inspection.h"

namespace zelko {

// The six operations in the default interface of `coclass` and the two events
// in its default source interface, against what the driver relies on
// (control_dispatch_table.h): one finding each, in the table's order, every
// difference named (a dispatch id not found and where the operation is, a
// kind of call, an argument or result type, a by-reference string).
std::vector<Finding> CheckTypeLibrary(ITypeInfo* coclass);

}  // namespace zelko
