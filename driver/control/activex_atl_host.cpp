#include "activex_atl_host.h"

#include <ocidl.h>
#include <olectl.h>

#include "win32_error_text.h"

namespace zelko {

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxCreateControlExFunction = HRESULT(WINAPI*)(LPCOLESTR name, HWND window, IStream* stream,
                                                      IUnknown** container, IUnknown** control,
                                                      const IID& sinkInterface, IUnknown* sink);

struct AtlFunctions {
  AtlAxCreateControlExFunction createControl = nullptr;
  FailedCall problem;
};

template <typename Function>
Function Entry(HMODULE library, const char* name) {
  // GetProcAddress hands out every entry under one generic type.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

FailedCall Failed(const char* call) { return {call, LastErrorText(GetLastError())}; }

AtlFunctions LoadAtl() {
  AtlFunctions functions;
  const HMODULE library = LoadLibraryA("atl.dll");
  if (!library) {
    functions.problem = Failed("LoadLibraryA(atl.dll)");
    return functions;
  }
  const auto winInit = Entry<AtlAxWinInitFunction>(library, "AtlAxWinInit");
  const auto createControl = Entry<AtlAxCreateControlExFunction>(library, "AtlAxCreateControlEx");
  if (!winInit || !createControl) {
    functions.problem = Failed("GetProcAddress(AtlAxWinInit, AtlAxCreateControlEx)");
  } else if (!winInit()) {
    functions.problem = Failed("AtlAxWinInit");
  } else {
    functions.createControl = createControl;
    return functions;
  }
  FreeLibrary(library);
  return functions;
}

const AtlFunctions& Atl() {
  static const AtlFunctions functions = LoadAtl();
  return functions;
}

// ATL's container answers the ambient properties through its IDispatch;
// user mode is its default, set here so that it does not rest on that.
void SetAmbientUserMode(IUnknown* container) {
  auto ambient = QueryRef<IDispatch>(container, IID_IDispatch);
  if (!ambient) return;
  VARIANT on;
  VariantInit(&on);
  on.vt = VT_BOOL;
  on.boolVal = VARIANT_TRUE;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&on, &named, 1, 1};
  ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters,
                  nullptr, nullptr, nullptr);
}

// ATL leaves a control that declares itself invisible at run time inactive;
// the register's control must be active in place whatever it declares.
// Activating a control that is already active changes nothing. Why it is not
// active; empty when it is.
FailedCall ActivateInPlace(IUnknown* control, HWND window) {
  auto object = QueryRef<IOleObject>(control, IID_IOleObject);
  if (!object) return {"QueryInterface(IOleObject)", HresultText(E_NOINTERFACE)};
  ComRef<IOleClientSite> site;
  const HRESULT sited = object->GetClientSite(site.Out());
  if (FAILED(sited) || !site) return {"IOleObject::GetClientSite", HresultText(FAILED(sited) ? sited : E_FAIL)};
  RECT area;
  GetClientRect(window, &area);
  const HRESULT active = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, window, &area);
  if (FAILED(active)) return {"IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)", HresultText(active)};
  return {};
}

}  // namespace

bool AtlHostAvailable() { return Atl().createControl != nullptr; }

const FailedCall& AtlHostProblem() { return Atl().problem; }

HRESULT CreateSitedControl(const wchar_t* progId, HWND window, SitedControl& sited) {
  if (!AtlHostAvailable()) return E_NOTIMPL;
  sited = {};
  const HRESULT outcome = Atl().createControl(progId, window, nullptr, sited.container.Out(), sited.control.Out(),
                                              IID_NULL, nullptr);
  if (FAILED(outcome)) return outcome;
  if (!sited.control) return E_FAIL;
  SetAmbientUserMode(sited.container.Get());
  sited.inactive = ActivateInPlace(sited.control.Get(), window);
  return S_OK;
}

}  // namespace zelko
