#include "activex_zelko_form.h"

#include <ocidl.h>

#include "activex_atl_host.h"
#include "activex_text.h"
#include "win32_error_text.h"

namespace zelko {

namespace {

constexpr char kFormClass[] = "ZelkoForm";

std::string StepText(FormStep step) {
  switch (step) {
    case FormStep::kApartment: return "no COM apartment";
    case FormStep::kWindow: return "the form's window cannot be made";
    case FormStep::kClassId: return "the control is not registered";
    case FormStep::kAtl: return "atl.dll cannot be loaded";
    case FormStep::kContainer: return "the ATL container cannot hold the control";
    case FormStep::kControl: return "the control cannot be created";
    case FormStep::kActivation: return "the control is not active in place";
  }
  return {};
}

HWND CreateHiddenForm(std::vector<FormProblem>& problems) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA form{};
  form.lpfnWndProc = DefWindowProcA;
  form.hInstance = instance;
  form.lpszClassName = kFormClass;
  // A second form finds the class registered by the first.
  if (!RegisterClassA(&form) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    problems.push_back({FormStep::kWindow, {"RegisterClassA(ZelkoForm)", LastErrorText(GetLastError())}});
  }
  const HWND window = CreateWindowExA(0, kFormClass, kFormClass, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) {
    problems.push_back({FormStep::kWindow, {"CreateWindowExA(ZelkoForm)", LastErrorText(GetLastError())}});
  }
  return window;
}

// An in-process instance of the control without a container, initialised as
// a new control the way a form initialises the controls placed on it.
HRESULT CreateBareControl(const CLSID& id, ComRef<IDispatch>& control) {
  const HRESULT created = CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.OutVoid());
  if (FAILED(created)) return created;
  if (auto persist = QueryRef<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit)) persist->InitNew();
  return S_OK;
}

}  // namespace

ZelkoForm::ZelkoForm(const wchar_t* progId) {
  const HRESULT apartment = CoInitialize(nullptr);
  comStarted_ = SUCCEEDED(apartment);
  if (!comStarted_) Note(FormStep::kApartment, {"CoInitialize", HresultText(apartment)});
  window_ = CreateHiddenForm(problems_);
  if (!comStarted_ || !window_) return;
  CLSID id;
  const HRESULT found = CLSIDFromProgID(progId, &id);
  if (FAILED(found)) {
    Note(FormStep::kClassId, {"CLSIDFromProgID(" + WideToBytes(progId) + ")", HresultText(found)});
    return;
  }
  control_ = PlaceControl(progId, id);
}

ComRef<IDispatch> ZelkoForm::PlaceControl(const wchar_t* progId, const CLSID& id) {
  if (AtlHostAvailable()) {
    SitedControl sited;
    const HRESULT outcome = CreateSitedControl(progId, window_, sited);
    if (SUCCEEDED(outcome) && sited.container) {
      container_ = sited.container;
      active_ = sited.inactive.call.empty();
      if (!active_) Note(FormStep::kActivation, sited.inactive);
      return QueryRef<IDispatch>(sited.control.Get(), IID_IDispatch);
    }
    // A control that came out without a container is released; the bare
    // instance below takes its place.
    Note(FormStep::kContainer, {"AtlAxCreateControlEx", HresultText(FAILED(outcome) ? outcome : E_FAIL)});
  } else {
    Note(FormStep::kAtl, AtlHostProblem());
  }
  ComRef<IDispatch> control;
  const HRESULT created = CreateBareControl(id, control);
  if (!control) Note(FormStep::kControl, {"CoCreateInstance", HresultText(created)});
  return control;
}

void ZelkoForm::Note(FormStep step, FailedCall failed) { problems_.push_back({step, std::move(failed)}); }

std::vector<std::string> ZelkoForm::ProblemLines() const {
  std::vector<std::string> lines;
  for (const FormProblem& problem : problems_) {
    std::string line = StepText(problem.step) + ": " + problem.failed.call + " failed: " + problem.failed.error;
    const bool container = problem.step == FormStep::kAtl || problem.step == FormStep::kContainer;
    if (container && control_) line += "; the control runs without a container";
    lines.push_back(std::move(line));
  }
  return lines;
}

ZelkoForm::~ZelkoForm() {
  control_.Reset();
  container_.Reset();
  // The container deactivates and releases the control with its window.
  if (window_) DestroyWindow(window_);
  if (comStarted_) CoUninitialize();
}

}  // namespace zelko
