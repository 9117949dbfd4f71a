#include <winsock2.h>
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "activex_com_ref.h"
#include "activex_event_sink.h"
#include "activex_register_control.h"
#include "activex_text.h"
#include "control_expectations.h"
#include "scoped_env.h"
#include "standin_fixtures.h"
#include "win32_message_pump.h"

namespace zelko {
namespace {

using test::FakeFormSite;
using test::ScriptedRegister;
using test::StandInLibrary;

constexpr wchar_t kProgId[] = L"JQTZelko.JqtEcrZelko";
constexpr wchar_t kClsid[] = L"{4B30B652-9D9A-4560-B8F8-8948A0ADC538}";
constexpr wchar_t kLibid[] = L"{528E1C3B-3E7B-4C39-A9A2-10322DCBB432}";

class EventRecorder : public RegisterEvents {
 public:
  void StatusUpdate(std::int32_t code) override { events.push_back("StatusUpdate " + std::to_string(code)); }
  void DataReceived(const std::string& text) override { events.push_back("DataReceived " + text); }
  std::vector<std::string> events;
};

class StandInControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    library_.emplace();
    ASSERT_TRUE(library_->Loaded()) << "ZelkoStandIn.dll beside the test program";
  }
  void TearDown() override {
    library_.reset();
    CoUninitialize();
  }

  // A control made after the environment below is set: it reads it when created.
  ComRef<IDispatch> Create() { return library_->Create(); }

  testing::ScopedEnv noRegister_{"ZELKO_STANDIN_REGISTER", std::nullopt};
  testing::ScopedEnv notStrict_{"ZELKO_STANDIN_STRICT", std::nullopt};
  testing::ScopedEnv shortTimeout_{"ZELKO_CONTROL_TIMEOUT_MS", "5000"};
  std::optional<StandInLibrary> library_;
};

// --- what the type library declares ------------------------------------------------

struct Parameter {
  VARTYPE type;
  bool byReference;
};

struct DeclaredOperation {
  const wchar_t* name;
  DISPID id;
  INVOKEKIND kind;
  std::vector<Parameter> parameters;
  VARTYPE result;
};

// The function with `id` and `kind` in `info`; null when there is none.
FUNCDESC* FindFunction(ITypeInfo* info, DISPID id, INVOKEKIND kind) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes))) return nullptr;
  const WORD count = attributes->cFuncs;
  info->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    if (function->memid == id && function->invkind == kind) return function;
    info->ReleaseFuncDesc(function);
  }
  return nullptr;
}

DISPID IdOfName(ITypeInfo* info, const wchar_t* name) {
  std::wstring text(name);
  LPOLESTR names[] = {text.data()};
  MEMBERID id = DISPID_UNKNOWN;
  return SUCCEEDED(info->GetIDsOfNames(names, 1, &id)) ? id : DISPID_UNKNOWN;
}

void ExpectDeclared(ITypeInfo* info, const DeclaredOperation& operation) {
  SCOPED_TRACE(std::string(operation.name, operation.name + wcslen(operation.name)));
  EXPECT_EQ(IdOfName(info, operation.name), operation.id);
  FUNCDESC* function = FindFunction(info, operation.id, operation.kind);
  ASSERT_NE(function, nullptr);
  ASSERT_EQ(function->cParams, static_cast<SHORT>(operation.parameters.size()));
  for (std::size_t i = 0; i < operation.parameters.size(); ++i) {
    const TYPEDESC& type = function->lprgelemdescParam[i].tdesc;
    if (operation.parameters[i].byReference) {
      ASSERT_EQ(type.vt, VT_PTR) << "argument " << i;
      EXPECT_EQ(type.lptdesc->vt, operation.parameters[i].type) << "argument " << i;
    } else {
      EXPECT_EQ(type.vt, operation.parameters[i].type) << "argument " << i;
    }
  }
  EXPECT_EQ(function->elemdescFunc.tdesc.vt, operation.result);
  info->ReleaseFuncDesc(function);
}

TEST_F(StandInControlTest, DeclaresTheSixOperationsAtTheirDispatchIdsAndTypes) {
  ComRef<IDispatch> control = Create();
  ASSERT_TRUE(control);
  ComRef<ITypeInfo> info;
  ASSERT_TRUE(SUCCEEDED(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Out())));
  const DeclaredOperation operations[] = {
      {L"ClosePort", 0x60030016, INVOKE_FUNC, {}, VT_I4},
      {L"OpenPort", 0x60030015, INVOKE_FUNC, {{VT_BSTR, true}}, VT_I4},
      {L"HighSpeed", 0x68030004, INVOKE_PROPERTYPUT, {{VT_BOOL, false}}, VT_VOID},
      {L"SendCommand", 0x60030034, INVOKE_FUNC, {{VT_I4, false}, {VT_I2, false}, {VT_BSTR, false}}, VT_I4},
      {L"SendQuery", 0x60030035, INVOKE_FUNC,
       {{VT_I4, false}, {VT_I2, false}, {VT_BSTR, false}, {VT_BSTR, true}}, VT_I4},
      {L"ResultCodeExtended", 0x68030009, INVOKE_PROPERTYGET, {}, VT_I4},
  };
  for (const DeclaredOperation& operation : operations) ExpectDeclared(info.Get(), operation);
}

// The default source interface of the control's coclass.
ComRef<ITypeInfo> SourceInfo(IDispatch* control) {
  ComRef<ITypeInfo> coclass;
  ComRef<ITypeInfo> source;
  auto provider = QueryRef<IProvideClassInfo>(control, IID_IProvideClassInfo);
  if (!provider || FAILED(provider->GetClassInfo(coclass.Out()))) return source;
  for (UINT i = 0;; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    if (FAILED(coclass->GetImplTypeFlags(i, &flags))) return source;
    if ((flags & IMPLTYPEFLAG_FSOURCE) && (flags & IMPLTYPEFLAG_FDEFAULT) &&
        SUCCEEDED(coclass->GetRefTypeOfImplType(i, &reference))) {
      coclass->GetRefTypeInfo(reference, source.Out());
      return source;
    }
  }
}

TEST_F(StandInControlTest, DeclaresTheTwoEventsOnItsDefaultSourceWithAConnectionPoint) {
  ComRef<IDispatch> control = Create();
  ASSERT_TRUE(control);
  ComRef<ITypeInfo> source = SourceInfo(control.Get());
  ASSERT_TRUE(source);
  const DeclaredOperation events[] = {
      {L"StatusUpdate", 7, INVOKE_FUNC, {{VT_I4, false}}, VT_VOID},
      {L"DataReceived", 3, INVOKE_FUNC, {{VT_BSTR, false}}, VT_VOID},
  };
  for (const DeclaredOperation& event : events) ExpectDeclared(source.Get(), event);

  TYPEATTR* attributes = nullptr;
  ASSERT_TRUE(SUCCEEDED(source->GetTypeAttr(&attributes)));
  const IID sourceIid = attributes->guid;
  source->ReleaseTypeAttr(attributes);
  auto container = QueryRef<IConnectionPointContainer>(control.Get(), IID_IConnectionPointContainer);
  ASSERT_TRUE(container);
  ComRef<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(sourceIid, point.Out()), S_OK);
  IID connected{};
  EXPECT_EQ(point->GetConnectionInterface(&connected), S_OK);
  EXPECT_TRUE(IsEqualIID(connected, sourceIid));
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.Out()), CONNECT_E_NOCONNECTION);

  ComRef<IEnumConnectionPoints> all;
  ASSERT_EQ(container->EnumConnectionPoints(all.Out()), S_OK);
  IConnectionPoint* listed[2] = {};
  ULONG fetched = 0;
  EXPECT_EQ(all->Next(2, listed, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  ComRef<IConnectionPoint> only(listed[0]);
  EXPECT_EQ(only->GetConnectionInterface(&connected), S_OK);
  EXPECT_TRUE(IsEqualIID(connected, sourceIid));
  EXPECT_TRUE(EventConnection(control.Get()).Connected());
}

// --- the operations ------------------------------------------------------------

TEST_F(StandInControlTest, WithoutAReachableRegisterEveryOperationFindsNoHardware) {
  std::string closedPort;
  {
    LoopbackListener closed;
    closedPort = closed.Port();
  }
  const std::optional<std::string> addresses[] = {std::nullopt, "tcp:127.0.0.1:" + closedPort, "tcp:nohost",
                                                  "127.0.0.1:" + closedPort};
  for (const auto& address : addresses) {
    SCOPED_TRACE(address.value_or("unset"));
    testing::ScopedEnv setting("ZELKO_STANDIN_REGISTER", address);
    ActiveXRegisterControl binding(Create().Get());
    testing::ExpectNoHardwareOnEveryOperation(binding);
  }
}

TEST_F(StandInControlTest, ForwardsEachOperationToTheRegisterAsTheDriverCallsIt) {
  ScriptedRegister peer({
      {R"({"id":1,"result":0})"},
      {R"({"id":2,"result":0})"},
      {R"({"id":3,"result":0})"},
      {R"({"event":"StatusUpdate","code":24})", R"({"event":"DataReceived","text":"Totale 1,00"})",
       R"({"id":4,"result":114})"},
      {R"({"id":5,"result":0,"reply":"0010000000001"})"},
      {R"({"id":6,"value":9})"},
  });
  testing::ScopedEnv setting("ZELKO_STANDIN_REGISTER", peer.Address());
  EventRecorder recorder;
  {
    ActiveXRegisterControl binding(Create().Get());
    binding.SetEventHandler(&recorder);
    EXPECT_EQ(binding.ClosePort(), 0);
    EXPECT_EQ(binding.OpenPort("COM1"), 0);
    binding.SetHighSpeed(true);
    EXPECT_EQ(binding.SendCommand("=T1/$100"), kResultExtended);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"StatusUpdate 24", "DataReceived Totale 1,00"}));
    const QueryResult query = binding.SendQuery("<</?s");
    EXPECT_EQ(query.code, 0);
    EXPECT_EQ(query.reply, "0010000000001");
    EXPECT_EQ(binding.ResultCodeExtended(), 9);
  }
  EXPECT_EQ(peer.Requests(), (std::vector<std::string>{
                                 R"({"id":1,"op":"ClosePort"})",
                                 R"({"id":2,"op":"OpenPort","port":"COM1"})",
                                 R"({"id":3,"op":"HighSpeed","value":true})",
                                 R"({"id":4,"op":"SendCommand","text":"=T1/$100"})",
                                 R"({"id":5,"op":"SendQuery","text":"<</?s"})",
                                 R"({"id":6,"op":"ResultCodeExtended"})",
                             }));
}

// SendCommand through IDispatch::Invoke, as the driver makes the call.
LONG InvokeSendCommand(IDispatch* control, const std::string& text) {
  OwnedBstr command(text);
  VARIANT arguments[3];
  for (VARIANT& argument : arguments) VariantInit(&argument);
  arguments[0].vt = VT_BSTR;
  arguments[0].bstrVal = command.Get();
  arguments[1].vt = VT_I2;
  arguments[2].vt = VT_I4;
  DISPPARAMS parameters{arguments, nullptr, 3, 0};
  OwnedVariant result;
  const HRESULT outcome = control->Invoke(0x60030034, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                          result.Get(), nullptr, nullptr);
  long value = -1;
  return SUCCEEDED(outcome) && VariantToLong(*result.Get(), value) ? value : -1;
}

TEST_F(StandInControlTest, RaisesEventsFromItsWindowAfterTheCallInTheOrderReceived) {
  ScriptedRegister peer({
      {R"({"event":"StatusUpdate","code":24})", R"({"event":"DataReceived","text":"uno"})",
       R"({"event":"StatusUpdate","code":26})", R"({"id":1,"result":0})"},
      {R"({"event":"DataReceived","text":"due"})", R"({"id":2,"result":0})"},
  });
  testing::ScopedEnv setting("ZELKO_STANDIN_REGISTER", peer.Address());
  ComRef<IDispatch> control = Create();
  EventRecorder recorder;
  EventConnection events(control.Get());
  ASSERT_TRUE(events.Connected());
  events.SetHandler(&recorder);

  EXPECT_EQ(InvokeSendCommand(control.Get(), "=K"), 0);
  EXPECT_TRUE(recorder.events.empty()) << "raised inside the call";
  EXPECT_EQ(InvokeSendCommand(control.Get(), "=C1"), 0);
  EXPECT_TRUE(recorder.events.empty()) << "raised inside the call";
  PumpPendingMessages();
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"StatusUpdate 24", "DataReceived uno", "StatusUpdate 26",
                                                       "DataReceived due"}));
}

TEST_F(StandInControlTest, FrozenEventsWaitUntilTheContainerUnfreezesThem) {
  ScriptedRegister peer(std::vector<std::vector<std::string>>{
      {R"({"event":"StatusUpdate","code":21})", R"({"id":1,"result":0})"}});
  testing::ScopedEnv setting("ZELKO_STANDIN_REGISTER", peer.Address());
  ComRef<IDispatch> control = Create();
  EventRecorder recorder;
  EventConnection events(control.Get());
  events.SetHandler(&recorder);
  auto oleControl = QueryRef<IOleControl>(control.Get(), IID_IOleControl);
  ASSERT_TRUE(oleControl);

  oleControl->FreezeEvents(TRUE);
  EXPECT_EQ(InvokeSendCommand(control.Get(), "=K"), 0);
  PumpPendingMessages();
  EXPECT_TRUE(recorder.events.empty());
  oleControl->FreezeEvents(FALSE);
  PumpPendingMessages();
  EXPECT_EQ(recorder.events, std::vector<std::string>{"StatusUpdate 21"});
}

// --- sitting on a form -------------------------------------------------------------

TEST_F(StandInControlTest, StrictModeFindsNoHardwareUntilSitedAndActiveInPlace) {
  ScriptedRegister peer({{R"({"id":1,"result":0})"}, {R"({"id":2,"result":0})"}});
  testing::ScopedEnv setting("ZELKO_STANDIN_REGISTER", peer.Address());
  testing::ScopedEnv strict("ZELKO_STANDIN_STRICT", "1");
  ComRef<IDispatch> control = Create();
  ActiveXRegisterControl binding(control.Get());
  auto object = QueryRef<IOleObject>(control.Get(), IID_IOleObject);
  ASSERT_TRUE(object);
  FakeFormSite site;
  FakeFormSite siteWithoutInPlace(false);
  RECT place{0, 0, 32, 32};
  ASSERT_TRUE(site.Window()) << "the form's window (is there a display?)";

  EXPECT_EQ(binding.SendCommand("=K"), kResultNoHardware) << "created bare";
  ASSERT_EQ(object->SetClientSite(&siteWithoutInPlace), S_OK);
  EXPECT_TRUE(FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &siteWithoutInPlace, 0, nullptr, &place)));
  EXPECT_EQ(binding.SendCommand("=K"), kResultNoHardware) << "site without in-place activation";
  ASSERT_EQ(object->SetClientSite(&site), S_OK);
  EXPECT_EQ(binding.SendCommand("=K"), kResultNoHardware) << "sited, not active";

  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.Window(), &place), S_OK);
  EXPECT_TRUE(site.Active());
  auto window = QueryRef<IOleInPlaceObject>(control.Get(), IID_IOleInPlaceObject);
  ASSERT_TRUE(window);
  HWND own = nullptr;
  ASSERT_EQ(window->GetWindow(&own), S_OK);
  EXPECT_EQ(GetParent(own), site.Window());
  EXPECT_FALSE(IsWindowVisible(own));
  EXPECT_EQ(binding.SendCommand("=K"), 0);
  EXPECT_EQ(binding.SendCommand("=C1"), 0);

  EXPECT_EQ(window->InPlaceDeactivate(), S_OK);
  EXPECT_FALSE(site.Active());
  EXPECT_FALSE(IsWindow(own));
  EXPECT_EQ(binding.SendCommand("=K"), kResultNoHardware) << "deactivated";
  object->SetClientSite(nullptr);
  EXPECT_EQ(peer.Requests().size(), 2u);
}

// --- registration ------------------------------------------------------------------

std::optional<std::wstring> RegistryValue(const std::wstring& key, const wchar_t* name) {
  wchar_t value[512];
  DWORD size = sizeof value;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const LONG read = RegQueryValueExW(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(handle);
  if (read != ERROR_SUCCESS) return std::wstring();  // the key without that value
  return std::wstring(value);
}

bool KeyExists(const std::wstring& key) { return RegistryValue(key, nullptr).has_value(); }

std::wstring ToLower(std::wstring text) {
  for (wchar_t& c : text) c = towlower(c);
  return text;
}

TEST_F(StandInControlTest, RegistersAsAnActiveXControlByProgIdAndUnregistersCleanly) {
  test::RegistrationKeeper keeper;
  const HRESULT registered = library_->Register();
  if (registered == SELFREG_E_CLASS && !KeyExists(L"CLSID\\" + std::wstring(kClsid))) {
    GTEST_SKIP() << "no right to write HKEY_CLASSES_ROOT here";
  }
  ASSERT_EQ(registered, S_OK);
  const std::wstring clsidKey = L"CLSID\\" + std::wstring(kClsid);
  struct Expected {
    std::wstring key;
    const wchar_t* name;
    std::optional<std::wstring> value;  // empty: only the key must exist
  };
  const Expected entries[] = {
      {clsidKey + L"\\Control", nullptr, std::nullopt},
      {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsidKey + L"\\ProgID", nullptr, kProgId},
      {clsidKey + L"\\TypeLib", nullptr, kLibid},
      {clsidKey + L"\\Version", nullptr, L"1.0"},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, kClsid},
  };
  for (const Expected& entry : entries) {
    const auto value = RegistryValue(entry.key, entry.name);
    ASSERT_TRUE(value.has_value()) << std::string(entry.key.begin(), entry.key.end());
    if (entry.value) {
      EXPECT_EQ(*value, *entry.value);
    }
  }
  EXPECT_NE(ToLower(RegistryValue(clsidKey + L"\\InprocServer32", nullptr).value_or(L"")).find(L"zelkostandin.dll"),
            std::wstring::npos);
  EXPECT_TRUE(KeyExists(L"TypeLib\\" + std::wstring(kLibid) + L"\\1.0"));

  CLSID id{};
  ASSERT_EQ(CLSIDFromProgID(kProgId, &id), S_OK);
  ComRef<IDispatch> control;
  ASSERT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.OutVoid()), S_OK);
  EXPECT_TRUE(QueryRef<IOleObject>(control.Get(), IID_IOleObject));
  EXPECT_TRUE(QueryRef<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit));
  EXPECT_EQ(ActiveXRegisterControl(control.Get()).ClosePort(), kResultNoHardware);
  control.Reset();

  ASSERT_EQ(library_->Unregister(), S_OK);
  EXPECT_FALSE(KeyExists(clsidKey));
  EXPECT_FALSE(KeyExists(kProgId));
  EXPECT_FALSE(KeyExists(L"TypeLib\\" + std::wstring(kLibid) + L"\\1.0"));
  EXPECT_NE(CLSIDFromProgID(kProgId, &id), S_OK);
}

TEST_F(StandInControlTest, UnregisteringLeavesTheProgIdToAnotherControlThatTookIt) {
  test::RegistrationKeeper keeper;
  if (library_->Register() != S_OK) GTEST_SKIP() << "no right to write HKEY_CLASSES_ROOT here";
  const std::wstring other = L"{6B8E6C1A-2F55-4E0B-9D3C-0A1B2C3D4E5F}";
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"JQTZelko.JqtEcrZelko\\CLSID", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                 static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);

  EXPECT_EQ(library_->Unregister(), S_OK);
  EXPECT_EQ(RegistryValue(std::wstring(kProgId) + L"\\CLSID", nullptr), other);
  EXPECT_FALSE(KeyExists(L"CLSID\\" + std::wstring(kClsid)));
  SHDeleteKeyW(HKEY_CLASSES_ROOT, kProgId);
}

}  // namespace
}  // namespace zelko
