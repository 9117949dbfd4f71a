#pragma once

#include <windows.h>

#include "activex_com_ref.h"
#include "win32_error_text.h"

namespace zelko {

// A control placed on a window by the system's ATL control container
// (atl.dll): the container is the control's client site, the window its
// in-place parent.
struct SitedControl {
  ComRef<IUnknown> container;
  ComRef<IUnknown> control;
  // Why the control is not active in place; empty when it is.
  FailedCall inactive;
};

// Whether atl.dll and its container functions could be loaded. The library is
// loaded once and stays loaded: the windows it hosts run its code.
bool AtlHostAvailable();
// When it could not, why.
const FailedCall& AtlHostProblem();

// Creates the control `progId` on `window` through atl.dll: client site,
// initialised as a new control, in-place active, ambient user mode on. The
// failure's HRESULT when no control came out of it.
HRESULT CreateSitedControl(const wchar_t* progId, HWND window, SitedControl& sited);

}  // namespace zelko
