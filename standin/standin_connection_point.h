#pragma once

#include <ocidl.h>

#include <map>

#include "standin_event_window.h"

namespace zelko {

// The control's one connection point, for its default source interface.
// It lives inside the control and shares its reference count.
class StandInConnectionPoint final : public IConnectionPoint {
 public:
  explicit StandInConnectionPoint(IConnectionPointContainer& owner) : owner_(owner) {}
  ~StandInConnectionPoint();
  StandInConnectionPoint(const StandInConnectionPoint&) = delete;
  StandInConnectionPoint& operator=(const StandInConnectionPoint&) = delete;

  // Calls every connected sink with the event, by its dispatch id in the source interface.
  void Raise(const StandInEvent& event);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

 private:
  IConnectionPointContainer& owner_;
  std::map<DWORD, IDispatch*> sinks_;
  DWORD nextCookie_ = 1;
};

// An enumeration of the container's one connection point.
HRESULT EnumerateConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** points);

}  // namespace zelko
