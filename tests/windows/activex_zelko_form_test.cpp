#include "standin_fixtures.h"  // Winsock's headers before windows.h

#include "activex_zelko_form.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

#include "activex_register_control.h"
#include "event_recorder.h"
#include "fake_dispatch_control.h"
#include "win32_error_text.h"

namespace zelko {
namespace {

using test::FakeDispatchControl;

constexpr wchar_t kProgId[] = L"ZelkoTests.BareAutomationObject";
constexpr wchar_t kClsidText[] = L"{5C0E7A31-9D44-4F2B-8E61-3A7B2C90D415}";
constexpr wchar_t kProgIdKey[] = L"ZelkoTests.BareAutomationObject";

// Hands out the one fake it holds, as the class object of a registered control.
class FakeFactory final : public IClassFactory {
 public:
  explicit FakeFactory(FakeDispatchControl& control) : control_(control) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    ++created;
    if (outer) return CLASS_E_NOAGGREGATION;
    return control_.QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  int created = 0;

 private:
  FakeDispatchControl& control_;
};

// A control registered under a ProgID of its own whose class object is the
// fake, for as long as the test runs.
class RegisteredFake {
 public:
  explicit RegisteredFake(FakeDispatchControl& control) : factory_(control) {
    CoInitialize(nullptr);
    CLSIDFromString(kClsidText, &id_);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CLASSES_ROOT, (std::wstring(kProgIdKey) + L"\\CLSID").c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &key, nullptr);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kClsidText), sizeof kClsidText);
    RegCloseKey(key);
    CoRegisterClassObject(id_, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~RegisteredFake() {
    CoRevokeClassObject(cookie_);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(kProgIdKey) + L"\\CLSID").c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, kProgIdKey);
    CoUninitialize();
  }
  int Created() const { return factory_.created; }

 private:
  FakeFactory factory_;
  CLSID id_{};
  DWORD cookie_ = 0;
};

// A control that is a bare automation object (no IOleObject, nothing to
// site): the form still holds one instance of it, and the binding calls it
// and hears its events.
TEST(ZelkoFormTest, ABareAutomationObjectIsBoundAsItIs) {
  FakeDispatchControl fake;
  fake.results[0x60030034] = 0;
  RegisteredFake registered(fake);
  testing::EventRecorder events;
  {
    ZelkoForm form(kProgId);
    ASSERT_EQ(form.JqtEcrZelko1(), static_cast<IDispatch*>(&fake));
    EXPECT_EQ(registered.Created(), form.Sited() ? 1 : 2) << "an instance the container refused is not kept";
    if (!form.Sited()) {
      ASSERT_EQ(form.ProblemLines().size(), 1u);
      const std::string line = form.ProblemLines()[0];
      EXPECT_EQ(line.rfind("the ATL container cannot hold the control: AtlAxCreateControlEx failed: 0x", 0), 0u)
          << line;
      EXPECT_TRUE(line.ends_with("; the control runs without a container")) << line;
    }
    EXPECT_FALSE(IsWindowVisible(form.Window()));
    ActiveXRegisterControl control(form.JqtEcrZelko1());
    control.SetEventHandler(&events);
    fake.duringCall = [&] { fake.Raise(test::kFakeStatusUpdateId, 24); };
    EXPECT_EQ(control.SendCommand("=S"), 0);
  }
  EXPECT_EQ(events.seen, std::vector<std::string>{"StatusUpdate 24"});
  EXPECT_EQ(fake.Sinks(), 0u);
}

// The registered stand-in, a control made to sit on forms: the form's
// container is its client site, it is active in place, and its window is a
// child of the form.
TEST(ZelkoFormTest, TheRegisteredControlSitsOnTheFormActiveInPlace) {
  CoInitialize(nullptr);
  {
    test::StandInLibrary library;
    ASSERT_TRUE(library.Loaded()) << "ZelkoStandIn.dll beside the test program";
    test::RegistrationKeeper keeper;
    if (library.Register() != S_OK) GTEST_SKIP() << "no right to write HKEY_CLASSES_ROOT here";
    {
      ZelkoForm form;
      ASSERT_NE(form.JqtEcrZelko1(), nullptr);
      EXPECT_TRUE(form.Sited());
      EXPECT_TRUE(form.Active());
      EXPECT_TRUE(form.Problems().empty());
      auto object = QueryRef<IOleObject>(form.JqtEcrZelko1(), IID_IOleObject);
      ASSERT_TRUE(object);
      ComRef<IOleClientSite> site;
      EXPECT_EQ(object->GetClientSite(site.Out()), S_OK);
      EXPECT_TRUE(site);
      auto inPlace = QueryRef<IOleInPlaceObject>(form.JqtEcrZelko1(), IID_IOleInPlaceObject);
      ASSERT_TRUE(inPlace);
      HWND controlWindow = nullptr;
      EXPECT_EQ(inPlace->GetWindow(&controlWindow), S_OK) << "active in place";
      EXPECT_TRUE(IsChild(form.Window(), controlWindow));
      EXPECT_FALSE(IsWindowVisible(form.Window()));
    }
    library.Unregister();
  }
  CoUninitialize();
}

TEST(ZelkoFormTest, AnUnknownProgIdGivesNoControlButAHiddenForm) {
  ZelkoForm form(L"ZelkoTests.NotRegistered");
  EXPECT_EQ(form.JqtEcrZelko1(), nullptr);
  EXPECT_EQ(form.ProblemLines(), std::vector<std::string>{"the control is not registered: "
                                                          "CLSIDFromProgID(ZelkoTests.NotRegistered) failed: " +
                                                          HresultText(CO_E_CLASSSTRING)});
  ASSERT_NE(form.Window(), nullptr);
  EXPECT_FALSE(IsWindowVisible(form.Window()));
}

}  // namespace
}  // namespace zelko
