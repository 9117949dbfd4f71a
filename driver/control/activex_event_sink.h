#pragma once

#include <windows.h>
#include <ocidl.h>

#include <exception>
#include <string>

#include "activex_com_ref.h"
#include "register_control.h"

namespace zelko {

class EventSink;

// The control's events, connected to its source interface through its
// connection point. StatusUpdate and DataReceived are found by name in the
// control's type information, so their dispatch ids need not be known.
class EventConnection {
 public:
  // Connects to `control`; a control without events or type information
  // gives a connection that never reports anything.
  explicit EventConnection(IDispatch* control);
  ~EventConnection();
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;

  bool Connected() const { return cookie_ != 0; }
  // Why it is not connected: the missing piece or the failing call.
  const std::string& Problem() const { return problem_; }
  // Null detaches the handlers.
  void SetHandler(RegisterEvents* events);
  // An exception a handler threw while the control was calling: it cannot
  // pass through the control's own code, so it waits here to be rethrown
  // once the control returns. Null when there is none.
  std::exception_ptr TakeHandlerFailure();

 private:
  EventSink* sink_ = nullptr;
  ComRef<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  std::string problem_;
};

}  // namespace zelko
