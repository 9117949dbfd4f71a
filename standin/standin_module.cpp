// The DLL's entry points for COM: its class object and when it may unload.
#include <windows.h>
#include <ocidl.h>

#include <atomic>

#include "standin_control.h"
#include "standin_module.h"

namespace zelko {

namespace {

HINSTANCE module = nullptr;
std::atomic<long> holds{0};

// Makes JqtEcrZelko controls; one static instance serves every request.
class StandInClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is static: its references only keep the DLL loaded.
  ULONG STDMETHODCALLTYPE AddRef() override {
    HoldModule();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ReleaseModule();
    return 1;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    StandInControl* control = StandInControl::Create();
    if (!control) return E_UNEXPECTED;
    const HRESULT result = control->QueryInterface(iid, object);
    control->Release();
    return result;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      HoldModule();
    } else {
      ReleaseModule();
    }
    return S_OK;
  }
};

StandInClassFactory factory;

}  // namespace

HINSTANCE StandInModule() { return module; }
void HoldModule() { ++holds; }
void ReleaseModule() { --holds; }

}  // namespace zelko

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    zelko::module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID id, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(id, CLSID_JqtEcrZelko)) return CLASS_E_CLASSNOTAVAILABLE;
  return zelko::factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() { return zelko::holds == 0 ? S_OK : S_FALSE; }
