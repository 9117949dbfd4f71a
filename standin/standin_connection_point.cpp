#include "standin_connection_point.h"

#include <olectl.h>

#include <vector>

#include "activex_text.h"
#include "zelko_standin.h"

namespace zelko {

namespace {

// The events' dispatch ids in zelko_standin.idl.
constexpr DISPID kStatusUpdateEventId = 7;
constexpr DISPID kDataReceivedEventId = 3;

// Walks a list of one connection point; a clone starts where its original is.
class OnePointEnumerator final : public IEnumConnectionPoints {
 public:
  OnePointEnumerator(IConnectionPoint* point, bool done) : point_(point), done_(done) { point_->AddRef(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumConnectionPoints)) return E_NOINTERFACE;
    *object = static_cast<IEnumConnectionPoints*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override {
    if (!points || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    if (count > 0 && !done_) {
      points[0] = point_;
      point_->AddRef();
      done_ = true;
      given = 1;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    if (count == 0) return S_OK;
    const bool skipped = !done_ && count == 1;
    done_ = true;
    return skipped ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    done_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** copy) override {
    if (!copy) return E_POINTER;
    *copy = new OnePointEnumerator(point_, done_);
    return S_OK;
  }

 private:
  ~OnePointEnumerator() { point_->Release(); }

  IConnectionPoint* point_;
  bool done_;
  ULONG references_ = 1;
};

}  // namespace

HRESULT EnumerateConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  *points = new OnePointEnumerator(point, false);
  return S_OK;
}

StandInConnectionPoint::~StandInConnectionPoint() {
  for (auto& [cookie, sink] : sinks_) sink->Release();
}

void StandInConnectionPoint::Raise(const StandInEvent& event) {
  VARIANT argument;
  VariantInit(&argument);
  DISPID id = kStatusUpdateEventId;
  if (event.kind == StandInEvent::Kind::StatusUpdate) {
    argument.vt = VT_I4;
    argument.lVal = event.code;
  } else {
    id = kDataReceivedEventId;
    argument.vt = VT_BSTR;
    argument.bstrVal = BytesToBstr(event.text);
  }
  // A sink may unadvise, or advise another, while it handles the event.
  std::vector<IDispatch*> sinks;
  for (auto& [cookie, sink] : sinks_) {
    sink->AddRef();
    sinks.push_back(sink);
  }
  for (IDispatch* sink : sinks) {
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    sink->Release();
  }
  VariantClear(&argument);
}

HRESULT STDMETHODCALLTYPE StandInConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE StandInConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = DIID_DZelkoStandInEvents;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &owner_;
  owner_.AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  IDispatch* events = nullptr;
  if (FAILED(sink->QueryInterface(DIID_DZelkoStandInEvents, reinterpret_cast<void**>(&events))) &&
      FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&events)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_[*cookie] = events;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInConnectionPoint::Unadvise(DWORD cookie) {
  const auto found = sinks_.find(cookie);
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  IDispatch* sink = found->second;
  sinks_.erase(found);
  sink->Release();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace zelko
