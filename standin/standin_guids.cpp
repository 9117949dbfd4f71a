// Defines the identifiers that widl declares for zelko_standin.idl, after the
// system headers so that only these are defined here.
#include <ocidl.h>
#include <initguid.h>

#include "zelko_standin.h"
