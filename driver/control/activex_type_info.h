#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string_view>

#include "activex_com_ref.h"

namespace zelko {

// The coclass of a created control, as containers find it (IProvideClassInfo).
ComRef<ITypeInfo> ClassTypeInfo(IDispatch* control);

// The interface a coclass marks [default]: its incoming one (the first when
// none is marked), or with `source` its event interface. Empty when it has none.
ComRef<ITypeInfo> DefaultInterface(ITypeInfo* coclass, bool source);

// The dispatch id of the member `name` (matched as IDispatch matches names,
// whatever the case); DISPID_UNKNOWN when there is none.
DISPID IdOfName(ITypeInfo* info, std::string_view name);

}  // namespace zelko
