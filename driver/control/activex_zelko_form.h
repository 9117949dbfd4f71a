#pragma once

#include <windows.h>

#include "activex_com_ref.h"

namespace zelko {

// The ProgID of the maker's control.
inline constexpr wchar_t kRegisterControlProgId[] = L"JQTZelko.JqtEcrZelko";

// The hidden host form of the register control: the thread's COM apartment,
// a hidden top-level window "ZelkoForm" and on it the control instance
// JqtEcrZelko1, placed there by the system's ATL control container. Where
// atl.dll cannot be loaded or cannot hold the control, the control is created
// without a container, with one line on stderr. The form is never shown.
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
  HWND Window() const { return window_; }

 private:
  ComRef<IDispatch> PlaceControl(const wchar_t* progId, const CLSID& id);

  bool comStarted_ = false;
  HWND window_ = nullptr;
  ComRef<IUnknown> container_;
  ComRef<IDispatch> control_;
};

}  // namespace zelko
