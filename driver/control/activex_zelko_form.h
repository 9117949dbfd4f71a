#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "activex_com_ref.h"
#include "win32_error_text.h"

namespace zelko {

// The ProgID of the maker's control.
inline constexpr wchar_t kRegisterControlProgId[] = L"JQTZelko.JqtEcrZelko";

// The step of making the form and its control that went wrong.
enum class FormStep {
  kApartment,   // the thread's COM apartment
  kWindow,      // the hidden form window
  kClassId,     // the ProgID's class
  kAtl,         // atl.dll and its container functions
  kContainer,   // the ATL container refused the control
  kControl,     // the control without a container
  kActivation,  // the control sited but not active in place
};

struct FormProblem {
  FormStep step;
  FailedCall failed;
};

// The hidden host form of the register control: the thread's COM apartment,
// a hidden top-level window "ZelkoForm" and on it the control instance
// JqtEcrZelko1, placed there by the system's ATL control container. Where
// atl.dll cannot be loaded or cannot hold the control, the control is created
// without a container. What went wrong on the way is kept, one line each. The
// form is never shown.
class ZelkoForm {
 public:
  explicit ZelkoForm(const wchar_t* progId = kRegisterControlProgId);
  ~ZelkoForm();
  ZelkoForm(const ZelkoForm&) = delete;
  ZelkoForm& operator=(const ZelkoForm&) = delete;

  // The control's dispatch interface; null when the component is not
  // registered or could not be created.
  IDispatch* JqtEcrZelko1() const { return control_.Get(); }
  // Whether a container holds the control (false: created bare).
  bool Sited() const { return static_cast<bool>(container_); }
  // Whether the sited control is active in place.
  bool Active() const { return active_; }
  HWND Window() const { return window_; }
  // In the order they happened; empty when the control sits on the form,
  // active in place.
  const std::vector<FormProblem>& Problems() const { return problems_; }
  // The same, one line each, e.g. "atl.dll cannot be loaded:
  // LoadLibraryA(atl.dll) failed: error 126 (...); the control runs without
  // a container".
  std::vector<std::string> ProblemLines() const;

 private:
  ComRef<IDispatch> PlaceControl(const wchar_t* progId, const CLSID& id);
  void Note(FormStep step, FailedCall failed);

  bool comStarted_ = false;
  HWND window_ = nullptr;
  ComRef<IUnknown> container_;
  ComRef<IDispatch> control_;
  bool active_ = false;
  std::vector<FormProblem> problems_;
};

}  // namespace zelko
