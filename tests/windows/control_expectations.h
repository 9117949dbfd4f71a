#pragma once

#include <gtest/gtest.h>

#include "register_control.h"

namespace zelko::testing {

// A control that reaches no register: every operation gives "no hardware"
// (the driver's "ZELKO NON Collegato!"), a query no reply, no extended code.
inline void ExpectNoHardwareOnEveryOperation(RegisterControl& control) {
  EXPECT_EQ(control.ClosePort(), kResultNoHardware);
  EXPECT_EQ(control.OpenPort("1"), kResultNoHardware);
  control.SetHighSpeed(true);
  EXPECT_EQ(control.SendCommand("=K"), kResultNoHardware);
  const QueryResult query = control.SendQuery("<</?s");
  EXPECT_EQ(query.code, kResultNoHardware);
  EXPECT_EQ(query.reply, "");
  EXPECT_EQ(control.ResultCodeExtended(), 0);
}

}  // namespace zelko::testing
