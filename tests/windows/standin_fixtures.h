#pragma once

#include "loopback_listener.h"  // Winsock's headers before windows.h

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <thread>
#include <vector>

#include "activex_com_ref.h"

namespace zelko::test {

inline constexpr wchar_t kStandInClsid[] = L"{4B30B652-9D9A-4560-B8F8-8948A0ADC538}";

// The folder of the test program, where ZelkoStandIn.dll and the type
// libraries made for the tests lie; ends with a backslash.
std::wstring ProgramFolder();

// ZelkoStandIn.dll, loaded from beside the test program, and its entry points.
class StandInLibrary {
 public:
  StandInLibrary();
  ~StandInLibrary();
  StandInLibrary(const StandInLibrary&) = delete;
  StandInLibrary& operator=(const StandInLibrary&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  // A new control straight from the DLL's class object, without the registry.
  ComRef<IDispatch> Create() const;
  HRESULT Register() const;
  HRESULT Unregister() const;

 private:
  HMODULE module_ = nullptr;
};

// Puts back a registration of the stand-in that was there before a test
// registered and unregistered its own copy: the registered DLL registers again.
class RegistrationKeeper {
 public:
  RegistrationKeeper();
  ~RegistrationKeeper();
  RegistrationKeeper(const RegistrationKeeper&) = delete;
  RegistrationKeeper& operator=(const RegistrationKeeper&) = delete;

 private:
  std::wstring registered_;  // the DLL's path; empty when none was registered
};

// The register's side of the emulator protocol on a thread: it takes one
// connection, answers the n-th request line with the n-th list of lines, and
// records the requests.
class ScriptedRegister {
 public:
  explicit ScriptedRegister(std::vector<std::vector<std::string>> answers);
  ~ScriptedRegister();
  ScriptedRegister(const ScriptedRegister&) = delete;
  ScriptedRegister& operator=(const ScriptedRegister&) = delete;

  std::string Address() const { return "tcp:127.0.0.1:" + listener_.Port(); }
  // The requests received once every answer has been sent, or the connection closed.
  std::vector<std::string> Requests();

 private:
  LoopbackListener listener_;
  std::vector<std::vector<std::string>> answers_;
  std::vector<std::string> requests_;
  std::thread serving_;
};

// A form's side of a control: a client site with an in-place site (when
// `inPlace`) whose window is a hidden window of its own.
class FakeFormSite final : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit FakeFormSite(bool inPlace = true);
  ~FakeFormSite();
  FakeFormSite(const FakeFormSite&) = delete;
  FakeFormSite& operator=(const FakeFormSite&) = delete;

  HWND Window() const { return window_; }
  bool Active() const { return active_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  bool inPlace_;
  bool active_ = false;
  HWND window_ = nullptr;
};

}  // namespace zelko::test
