#include "activex_register_control.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "control_expectations.h"
#include "event_recorder.h"
#include "fake_dispatch_control.h"
#include "win32_error_text.h"

namespace zelko {
namespace {

using test::FakeDispatchControl;
using test::RecordedCall;

constexpr DISPID kHighSpeed = 0x68030004;
constexpr DISPID kResultCodeExtended = 0x68030009;
constexpr DISPID kOpenPort = 0x60030015;
constexpr DISPID kClosePort = 0x60030016;
constexpr DISPID kSendCommand = 0x60030034;
constexpr DISPID kSendQuery = 0x60030035;

using testing::EventRecorder;

// Each operation: the dispatch id, the kind of call and the argument types in
// DISPPARAMS order, which is the declared order reversed.
TEST(ActiveXRegisterControlTest, EachOperationInvokesItsIdWithTheDeclaredArgumentTypes) {
  struct Case {
    const char* name;
    std::function<void(RegisterControl&)> operation;
    DISPID id;
    WORD kind;
    std::vector<VARTYPE> types;
    std::vector<std::wstring> texts;
    std::vector<LONG> numbers;
  };
  const Case cases[] = {
      {"ClosePort", [](RegisterControl& c) { c.ClosePort(); }, kClosePort, DISPATCH_METHOD, {}, {}, {}},
      {"OpenPort", [](RegisterControl& c) { c.OpenPort("1"); }, kOpenPort, DISPATCH_METHOD, {VT_BSTR | VT_BYREF},
       {L"1"}, {0}},
      {"HighSpeed", [](RegisterControl& c) { c.SetHighSpeed(true); }, kHighSpeed, DISPATCH_PROPERTYPUT, {VT_BOOL},
       {L""}, {VARIANT_TRUE}},
      {"SendCommand", [](RegisterControl& c) { c.SendCommand("=D1/(  ZELKO  Collegato )"); }, kSendCommand,
       DISPATCH_METHOD, {VT_BSTR, VT_I2, VT_I4}, {L"=D1/(  ZELKO  Collegato )", L"", L""}, {0, 0, 0}},
      {"SendQuery", [](RegisterControl& c) { c.SendQuery("<</?s"); }, kSendQuery, DISPATCH_METHOD,
       {VT_BSTR | VT_BYREF, VT_BSTR, VT_I2, VT_I4}, {L"", L"<</?s", L"", L""}, {0, 0, 0, 0}},
      {"ResultCodeExtended", [](RegisterControl& c) { c.ResultCodeExtended(); }, kResultCodeExtended,
       DISPATCH_PROPERTYGET, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeDispatchControl fake;
    ActiveXRegisterControl control(&fake);
    c.operation(control);
    ASSERT_EQ(fake.calls.size(), 1u);
    const RecordedCall& call = fake.calls[0];
    EXPECT_EQ(call.id, c.id);
    EXPECT_EQ(call.kind, c.kind);
    EXPECT_EQ(call.types, c.types);
    EXPECT_EQ(call.texts, c.texts);
    EXPECT_EQ(call.numbers, c.numbers);
  }
}

TEST(ActiveXRegisterControlTest, HighSpeedIsAPropertyPutWithTheNamedArgument) {
  FakeDispatchControl fake;
  ActiveXRegisterControl(&fake).SetHighSpeed(true);
  ASSERT_EQ(fake.calls.size(), 1u);
  EXPECT_EQ(fake.calls[0].named, std::vector<DISPID>{DISPID_PROPERTYPUT});
  EXPECT_FALSE(fake.calls[0].hadResult);
}

TEST(ActiveXRegisterControlTest, ResultsAndByReferenceTextsComeBack) {
  FakeDispatchControl fake;
  fake.results[kSendCommand] = 114;
  fake.results[kSendQuery] = 0;
  fake.results[kResultCodeExtended] = 2001;
  fake.results[kOpenPort] = 106;
  fake.queryReply = L"0000010000012";
  fake.portAfterOpen = L"COM1";
  ActiveXRegisterControl control(&fake);

  EXPECT_EQ(control.SendCommand("=S"), 114);
  EXPECT_EQ(control.ResultCodeExtended(), 2001);
  const QueryResult query = control.SendQuery("<</?s");
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.reply, "0000010000012");
  EXPECT_EQ(control.OpenPort("1"), 106);
}

TEST(ActiveXRegisterControlTest, TextsCrossAsTheSystemCodePage) {
  ASSERT_EQ(GetACP(), 1252u) << "the expectations below are written for Windows-1252";
  FakeDispatchControl fake;
  fake.queryReply = std::wstring(L"Caff\u00e8 ") + L'\0' + L"\u20ac";
  ActiveXRegisterControl control(&fake);
  control.SendCommand(std::string("=D1/(Caff\xe8 ") + '\0' + "\x80)");
  const std::string reply = control.SendQuery("").reply;
  ASSERT_EQ(fake.calls.size(), 2u);
  EXPECT_EQ(fake.calls[0].texts[0], std::wstring(L"=D1/(Caff\u00e8 ") + L'\0' + L"\u20ac)");
  EXPECT_EQ(fake.calls[1].texts[1], L"");
  EXPECT_EQ(reply, std::string("Caff\xe8 ") + '\0' + "\x80");
}

TEST(ActiveXRegisterControlTest, EventsRaisedDuringACallArriveBeforeItReturns) {
  FakeDispatchControl fake;
  EventRecorder events;
  ActiveXRegisterControl control(&fake);
  control.SetEventHandler(&events);
  ASSERT_EQ(fake.Sinks(), 1u);
  BSTR byReference = SysAllocString(L"Grazie");
  fake.duringCall = [&] {
    fake.Raise(test::kFakeStatusUpdateId, 24);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"Totale 1,00");
    fake.Raise(test::kFakeDataReceivedId, text);
    VariantClear(&text);
    VARIANT reference;
    VariantInit(&reference);
    reference.vt = VT_BSTR | VT_BYREF;
    reference.pbstrVal = &byReference;
    fake.Raise(test::kFakeDataReceivedId, reference);
    fake.Raise(0x3303, 5);  // not one of the two events
    VARIANT code;
    VariantInit(&code);
    code.vt = VT_I2;
    code.iVal = 26;
    fake.Raise(test::kFakeStatusUpdateId, code);
  };
  EXPECT_EQ(control.SendCommand("=S"), 0);
  SysFreeString(byReference);
  EXPECT_EQ(events.seen, (std::vector<std::string>{"StatusUpdate 24", "DataReceived Totale 1,00",
                                                   "DataReceived Grazie", "StatusUpdate 26"}));

  control.SetEventHandler(nullptr);
  control.SendCommand("=S");
  EXPECT_EQ(events.seen.size(), 4u) << "detached handlers hear nothing";
}

// A window of the control's own: each message posted to it raises the
// StatusUpdate event whose code is the message's wParam.
LRESULT CALLBACK RaiseOnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_APP) return DefWindowProcA(window, message, wParam, lParam);
  auto* fake = reinterpret_cast<FakeDispatchControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  fake->Raise(test::kFakeStatusUpdateId, static_cast<LONG>(wParam));
  return 0;
}

// Form controls raise events from messages posted to their own window: they
// reach the handlers, in order and after those raised inside the call, before
// the operation returns its result.
TEST(ActiveXRegisterControlTest, EventsPostedDuringACallArriveBeforeItReturns) {
  FakeDispatchControl fake;
  WNDCLASSA controlWindow{};
  controlWindow.lpfnWndProc = RaiseOnMessage;
  controlWindow.hInstance = GetModuleHandleA(nullptr);
  controlWindow.lpszClassName = "FakeControlWindow";
  RegisterClassA(&controlWindow);
  const HWND window = CreateWindowExA(0, "FakeControlWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      controlWindow.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fake));
  EventRecorder events;
  ActiveXRegisterControl control(&fake);
  control.SetEventHandler(&events);
  fake.duringCall = [&] {
    PostMessageA(window, WM_APP, 24, 0);
    PostMessageA(window, WM_APP, 21, 0);
    fake.Raise(test::kFakeStatusUpdateId, 26);
  };
  EXPECT_EQ(control.SendCommand("=S"), 0);
  EXPECT_EQ(events.seen, (std::vector<std::string>{"StatusUpdate 26", "StatusUpdate 24", "StatusUpdate 21"}));
  DestroyWindow(window);
}

TEST(ActiveXRegisterControlTest, AHandlerFailureSurfacesAfterTheControlReturns) {
  struct Throwing : RegisterEvents {
    void StatusUpdate(std::int32_t) override { throw std::runtime_error("data file not writable"); }
    void DataReceived(const std::string&) override {}
  } events;
  FakeDispatchControl fake;
  ActiveXRegisterControl control(&fake);
  control.SetEventHandler(&events);
  bool controlFinished = false;
  fake.duringCall = [&] {
    fake.Raise(test::kFakeStatusUpdateId, 24);
    controlFinished = true;
  };
  EXPECT_THROW(control.SendCommand("=S"), std::runtime_error);
  EXPECT_TRUE(controlFinished) << "the exception must not cross the control's own code";
  fake.duringCall = nullptr;
  EXPECT_EQ(control.SendCommand("=S"), 0) << "the failure is reported once";
}

TEST(ActiveXRegisterControlTest, RefusedCallsAndAMissingControlMeanNoHardware) {
  FakeDispatchControl fake;
  fake.failures[kSendCommand] = DISP_E_MEMBERNOTFOUND;
  fake.failures[kResultCodeExtended] = E_FAIL;
  ActiveXRegisterControl refused(&fake);
  EXPECT_EQ(refused.SendCommand("=S"), kResultNoHardware);
  EXPECT_EQ(refused.ResultCodeExtended(), 0);

  ActiveXRegisterControl missing(static_cast<IDispatch*>(nullptr));
  EventRecorder events;
  missing.SetEventHandler(&events);
  testing::ExpectNoHardwareOnEveryOperation(missing);
}

TEST(ActiveXRegisterControlTest, AControlWithoutEventsStillWorks) {
  FakeDispatchControl fake(/*withEvents=*/false);
  fake.results[kSendCommand] = 3;
  EventRecorder events;
  ActiveXRegisterControl control(&fake);
  control.SetEventHandler(&events);
  EXPECT_EQ(control.SendCommand("=S"), 3);
  EXPECT_EQ(fake.Sinks(), 0u);
}

TEST(ActiveXRegisterControlTest, ReleasesEverythingItTookAndDisconnects) {
  FakeDispatchControl fake;
  const ULONG before = fake.References();
  const ULONG typeInfoBefore = fake.Coclass().References();
  {
    ActiveXRegisterControl control(&fake);
    control.ClosePort();
    EXPECT_GT(fake.References(), before);
    EXPECT_EQ(fake.Sinks(), 1u);
  }
  EXPECT_EQ(fake.Sinks(), 0u);
  EXPECT_EQ(fake.References(), before);
  EXPECT_EQ(fake.Coclass().References(), typeInfoBefore);
}

// The register control leads SendCommand and SendQuery with Long 0 and
// Integer 0 and hands the port over by a reference of its own.
TEST(ActiveXRegisterControlTest, TheCoreOperationsCallTheComponentItsWay) {
  FakeDispatchControl fake;
  fake.results[kSendQuery] = 114;
  fake.queryReply = L"0103";
  fake.portAfterOpen = L"COM1";
  ActiveXRegisterControl control(&fake);
  const std::string port = "1";
  control.OpenPort(port);
  EXPECT_EQ(port, "1");
  control.SendCommand("=K");
  const QueryResult query = control.SendQuery("<</?s");
  EXPECT_EQ(query.code, 114);
  EXPECT_EQ(query.reply, "0103");
  ASSERT_EQ(fake.calls.size(), 3u);
  EXPECT_EQ(fake.calls[0].types, (std::vector<VARTYPE>{VT_BSTR | VT_BYREF}));
  EXPECT_EQ(fake.calls[1].types, (std::vector<VARTYPE>{VT_BSTR, VT_I2, VT_I4}));
  EXPECT_EQ(fake.calls[1].numbers, (std::vector<LONG>{0, 0, 0}));
  EXPECT_EQ(fake.calls[2].types, (std::vector<VARTYPE>{VT_BSTR | VT_BYREF, VT_BSTR, VT_I2, VT_I4}));
  EXPECT_EQ(fake.calls[2].numbers, (std::vector<LONG>{0, 0, 0, 0}));
}

// On a machine where JQTZelko.JqtEcrZelko is not registered (Wine here).
TEST(ActiveXRegisterControlTest, AnUnregisteredControlIsARegisterThatIsNotThere) {
  ASSERT_EQ(FindWindowA("ZelkoForm", nullptr), nullptr);
  {
    std::ostringstream diagnostics;
    const auto control = MakeActiveXRegisterControl(diagnostics);
    EXPECT_EQ(FindWindowA("ZelkoForm", nullptr), nullptr) << "the form comes with the first operation";
    std::string port = "1";
    EXPECT_EQ(control->ClosePort(), kResultNoHardware);
    const HWND form = FindWindowA("ZelkoForm", nullptr);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(IsWindowVisible(form));
    EXPECT_EQ(control->OpenPort(port), kResultNoHardware);
    control->SetHighSpeed(true);
    EXPECT_EQ(control->SendCommand("=K"), kResultNoHardware);
    const QueryResult query = control->SendQuery("<</?s");
    EXPECT_EQ(query.code, kResultNoHardware);
    EXPECT_EQ(query.reply, "");
    EXPECT_EQ(control->ResultCodeExtended(), 0);
    EXPECT_EQ(diagnostics.str(), "ZelkoForm: the control is not registered: CLSIDFromProgID(JQTZelko.JqtEcrZelko) "
                                 "failed: " + HresultText(CO_E_CLASSSTRING) + "\n")
        << "told once, at the first operation";
  }
  EXPECT_EQ(FindWindowA("ZelkoForm", nullptr), nullptr);
}

}  // namespace
}  // namespace zelko
