#include "standin_fixtures.h"  // Winsock's headers before windows.h

#include "activex_type_library_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelko {
namespace {

// The stand-in's own type library, where everything holds, and variants of
// it that differ in one point each (made from its IDL beside the tests):
// exactly the finding of that point fails, and names what differs.
TEST(TypeLibraryCheckTest, NamesTheOneDifferenceOfEachVariantOfTheStandInsTypeLibrary) {
  struct Case {
    const wchar_t* file;
    const char* failing;  // null: none
    std::vector<std::string> named;
  };
  const Case cases[] = {
      {L"ZelkoStandIn.dll", nullptr, {}},
      {L"moved_dispatch_id.tlb", "control.operation.SendQuery",
       {"SendQuery: dispatch id 0x60030035 non trovato; la libreria dei tipi ha SendQuery a 0x60030036"}},
      {L"missing_event.tlb", "control.event.DataReceived",
       {"DataReceived: l'interfaccia eventi DZelkoStandInEvents non lo dichiara", "DataArrived"}},
      {L"integer_as_long.tlb", "control.operation.SendCommand",
       {"argomento 2: dichiarato Long, il driver passa Integer"}},
      {L"reply_by_value.tlb", "control.operation.SendQuery",
       {"argomento 4: dichiarato String, il driver passa String per riferimento"}},
      {L"high_speed_get.tlb", "control.operation.HighSpeed",
       {"al dispatch id 0x68030004 la libreria dei tipi ha HighSpeed (property get), il driver chiama property put"}},
  };
  CLSID standIn;
  ASSERT_EQ(CLSIDFromString(const_cast<LPOLESTR>(test::kStandInClsid), &standIn), S_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.file));
    ComRef<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx((test::ProgramFolder() + c.file).c_str(), REGKIND_NONE, library.Out()), S_OK);
    ComRef<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(standIn, coclass.Out()), S_OK);
    const std::vector<Finding> findings = CheckTypeLibrary(coclass.Get());
    ASSERT_EQ(findings.size(), 8u);
    for (const Finding& finding : findings) {
      const bool failing = c.failing && finding.id == c.failing;
      EXPECT_EQ(finding.ok, !failing) << finding.id << ": " << finding.text;
      EXPECT_EQ(finding.remedy.empty(), finding.ok) << finding.id;
      for (const std::string& text : failing ? c.named : std::vector<std::string>{}) {
        EXPECT_NE(finding.text.find(text), std::string::npos) << finding.text;
      }
    }
  }
}

}  // namespace
}  // namespace zelko
