#include "activex_zelko_form.h"

#include <ocidl.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "activex_atl_host.h"

namespace zelko {

namespace {

constexpr char kFormClass[] = "ZelkoForm";

HWND CreateHiddenForm() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA form{};
  form.lpfnWndProc = DefWindowProcA;
  form.hInstance = instance;
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);  // fails harmlessly when a second form registers it again
  return CreateWindowExA(0, kFormClass, kFormClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

// An in-process instance of the control without a container, initialised as
// a new control the way a form initialises the controls placed on it.
ComRef<IDispatch> CreateBareControl(const CLSID& id) {
  ComRef<IDispatch> control;
  if (FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.OutVoid()))) return {};
  if (auto persist = QueryRef<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit)) persist->InitNew();
  return control;
}

std::string HexCode(HRESULT code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

}  // namespace

ZelkoForm::ZelkoForm(const wchar_t* progId) {
  comStarted_ = SUCCEEDED(CoInitialize(nullptr));
  window_ = CreateHiddenForm();
  CLSID id;
  if (comStarted_ && window_ && SUCCEEDED(CLSIDFromProgID(progId, &id))) control_ = PlaceControl(progId, id);
}

ComRef<IDispatch> ZelkoForm::PlaceControl(const wchar_t* progId, const CLSID& id) {
  std::string why = "atl.dll cannot be loaded";
  if (AtlHostAvailable()) {
    SitedControl sited;
    const HRESULT outcome = CreateSitedControl(progId, window_, sited);
    if (SUCCEEDED(outcome) && sited.container) {
      container_ = sited.container;
      return QueryRef<IDispatch>(sited.control.Get(), IID_IDispatch);
    }
    // A control that came out without a container is released; the bare
    // instance below takes its place.
    why = "the ATL container cannot hold the control (" + HexCode(outcome) + ")";
  }
  ComRef<IDispatch> control = CreateBareControl(id);
  if (control) std::cerr << "ZelkoForm: " << why << "; the control runs without a container\n";
  return control;
}

ZelkoForm::~ZelkoForm() {
  control_.Reset();
  container_.Reset();
  // The container deactivates and releases the control with its window.
  if (window_) DestroyWindow(window_);
  if (comStarted_) CoUninitialize();
}

}  // namespace zelko
