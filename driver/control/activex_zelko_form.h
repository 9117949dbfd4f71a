#pragma once

#include <windows.h>

#include "activex_com_ref.h"

namespace zelko {

// The hidden host form of the register control: the thread's COM apartment,
// a hidden top-level window "ZelkoForm" and on it the control instance
// JqtEcrZelko1, created from its ProgID. The form is never shown.
class ZelkoForm {
 public:
  ZelkoForm();
  ~ZelkoForm();
  ZelkoForm(const ZelkoForm&) = delete;
  ZelkoForm& operator=(const ZelkoForm&) = delete;

  // The control's dispatch interface; null when the component is not
  // registered or could not be created.
  IDispatch* JqtEcrZelko1() const { return control_.Get(); }

 private:
  bool comStarted_ = false;
  HWND window_ = nullptr;
  ComRef<IDispatch> control_;
};

}  // namespace zelko
