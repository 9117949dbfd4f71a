#pragma once

// What widl's header for zelko_standin.idl includes for automation_base.idl:
// the system's own declarations of IUnknown and IDispatch.
#include <ocidl.h>
