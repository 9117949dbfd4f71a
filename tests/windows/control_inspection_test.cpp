#include "standin_fixtures.h"  // Winsock's headers before windows.h

#include "control_inspection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelko {
namespace {

std::vector<std::string> Ids(const std::vector<Finding>& findings) {
  std::vector<std::string> ids;
  for (const Finding& finding : findings) ids.push_back(finding.id);
  return ids;
}

// The stand-in registered as the maker's control: every finding holds, in
// the order the inspection promises; unregistered, the first says so and
// nothing further is judged.
TEST(ControlInspectionTest, TheRegisteredStandInHoldsThroughoutAndAnUnregisteredControlStopsAtItsProgId) {
  CoInitialize(nullptr);
  {
    test::StandInLibrary library;
    ASSERT_TRUE(library.Loaded()) << "ZelkoStandIn.dll beside the test program";
    test::RegistrationKeeper keeper;
    if (library.Register() != S_OK) GTEST_SKIP() << "no right to write HKEY_CLASSES_ROOT here";
    const std::vector<Finding> registered = InspectRegisterControl();
    EXPECT_EQ(Ids(registered), (std::vector<std::string>{
                                   "control.progid", "control.server", "control.load", "control.threading",
                                   "control.typelib", "control.operation.ClosePort", "control.operation.OpenPort",
                                   "control.operation.HighSpeed", "control.operation.SendCommand",
                                   "control.operation.SendQuery", "control.operation.ResultCodeExtended",
                                   "control.event.StatusUpdate", "control.event.DataReceived", "control.events",
                                   "control.form"}));
    for (const Finding& finding : registered) {
      EXPECT_TRUE(finding.ok) << finding.id << ": " << finding.text << " / " << finding.remedy;
    }
    library.Unregister();
    const std::vector<Finding> unregistered = InspectRegisterControl();
    ASSERT_EQ(Ids(unregistered), std::vector<std::string>{"control.progid"});
    EXPECT_FALSE(unregistered[0].ok);
    EXPECT_NE(unregistered[0].remedy.find("regsvr32 JQTZelko.ocx"), std::string::npos);
  }
  CoUninitialize();
}

}  // namespace
}  // namespace zelko
