#pragma once

// Resource id of the paper notice's icon (32x32 and 16x16, 16 colours), shared
// by the driver's resource script and the notice window.
#define ZELKO_NOTICE_ICON 101
