#include "activex_event_sink.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "activex_text.h"
#include "activex_type_info.h"
#include "control_dispatch_table.h"
#include "win32_error_text.h"

namespace zelko {

namespace {

// The dispatch ids of the two events in the control's source interface.
struct EventIds {
  DISPID statusUpdate = DISPID_UNKNOWN;
  DISPID dataReceived = DISPID_UNKNOWN;
};

}  // namespace

// The sink object the control calls: it answers to IUnknown, IDispatch and
// the control's source interface, and hands the two events to the driver.
class EventSink final : public IDispatch {
 public:
  EventSink(const IID& source, EventIds ids) : source_(source), ids_(ids) {}

  void SetHandler(RegisterEvents* events) { events_ = events; }
  std::exception_ptr TakeFailure() { return std::exchange(failure_, nullptr); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, source_)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (!events_ || !parameters || parameters->cArgs < 1) return S_OK;
    // One argument each, so the last in DISPPARAMS order is the first declared.
    const VARIANT& argument = parameters->rgvarg[parameters->cArgs - 1];
    try {
      if (id == ids_.statusUpdate) {
        long code = 0;
        if (VariantToLong(argument, code)) events_->StatusUpdate(static_cast<std::int32_t>(code));
      } else if (id == ids_.dataReceived) {
        std::string text;
        if (VariantToBytes(argument, text)) events_->DataReceived(text);
      }
    } catch (...) {
      if (!failure_) failure_ = std::current_exception();
    }
    return S_OK;
  }

 private:
  ~EventSink() = default;

  IID source_;
  EventIds ids_;
  RegisterEvents* events_ = nullptr;
  std::exception_ptr failure_;
  ULONG references_ = 1;
};

EventConnection::EventConnection(IDispatch* control) {
  ComRef<ITypeInfo> coclass = ClassTypeInfo(control);
  ComRef<ITypeInfo> source = DefaultInterface(coclass.Get(), true);
  auto container = QueryRef<IConnectionPointContainer>(control, IID_IConnectionPointContainer);
  TYPEATTR* attributes = nullptr;
  if (!coclass) {
    problem_ = "no class information (IProvideClassInfo)";
  } else if (!source) {
    problem_ = "no default source interface in the class information";
  } else if (!container) {
    problem_ = "no connection points (IConnectionPointContainer)";
  } else if (const HRESULT described = source->GetTypeAttr(&attributes); FAILED(described)) {
    problem_ = "ITypeInfo::GetTypeAttr failed: " + HresultText(described);
  }
  if (!problem_.empty()) return;
  const IID iid = attributes->guid;
  source->ReleaseTypeAttr(attributes);
  const EventIds ids{IdOfName(source.Get(), control_table::kStatusUpdate.name),
                     IdOfName(source.Get(), control_table::kDataReceived.name)};
  if (const HRESULT found = container->FindConnectionPoint(iid, point_.Out()); FAILED(found)) {
    problem_ = "IConnectionPointContainer::FindConnectionPoint failed: " + HresultText(found);
    return;
  }
  sink_ = new EventSink(iid, ids);
  if (const HRESULT advised = point_->Advise(sink_, &cookie_); FAILED(advised)) {
    cookie_ = 0;
    problem_ = "IConnectionPoint::Advise failed: " + HresultText(advised);
  }
}

EventConnection::~EventConnection() {
  if (cookie_ != 0) point_->Unadvise(cookie_);
  if (sink_) {
    sink_->SetHandler(nullptr);
    sink_->Release();
  }
}

void EventConnection::SetHandler(RegisterEvents* events) {
  if (sink_) sink_->SetHandler(events);
}

std::exception_ptr EventConnection::TakeHandlerFailure() { return sink_ ? sink_->TakeFailure() : nullptr; }

}  // namespace zelko
