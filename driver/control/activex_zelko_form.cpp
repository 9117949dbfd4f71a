#include "activex_zelko_form.h"

#include <ocidl.h>

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

// An in-process instance of the maker's control, initialised as a new control
// the way a form initialises the controls placed on it.
ComRef<IDispatch> CreateRegisterControl() {
  CLSID id;
  ComRef<IDispatch> control;
  if (FAILED(CLSIDFromProgID(L"JQTZelko.JqtEcrZelko", &id)) ||
      FAILED(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.OutVoid()))) {
    return {};
  }
  if (auto persist = QueryRef<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit)) persist->InitNew();
  return control;
}

}  // namespace

ZelkoForm::ZelkoForm() {
  comStarted_ = SUCCEEDED(CoInitialize(nullptr));
  window_ = CreateHiddenForm();
  if (comStarted_) control_ = CreateRegisterControl();
}

ZelkoForm::~ZelkoForm() {
  control_.Reset();
  if (window_) DestroyWindow(window_);
  if (comStarted_) CoUninitialize();
}

}  // namespace zelko
