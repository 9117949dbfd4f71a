// How the control sits on a form: client site, in-place activation in a
// hidden child window of the container's window, and an empty persistent state.
#include <olectl.h>

#include "standin_control.h"

namespace zelko {

namespace {

// What a form needs to know before it places the control.
constexpr DWORD kMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;

}  // namespace

// --- IOleObject ----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::SetClientSite(IOleClientSite* site) {
  if (!site) InPlaceDeactivate();
  if (site) site->AddRef();
  clientSite_ = ComRef<IOleClientSite>(site);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = clientSite_.Get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT STDMETHODCALLTYPE StandInControl::Close(DWORD) {
  InPlaceDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE StandInControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE StandInControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandInControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                                 LPCRECT position) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(site ? site : clientSite_.Get(), parent, position);
    case OLEIVERB_HIDE:
      return S_OK;  // the control's window is never shown
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

// Asks the site for in-place activation and makes the control's hidden window
// a child of the window the site names.
HRESULT StandInControl::ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT position) {
  if (inPlaceSite_) return S_OK;
  if (!site) return E_INVALIDARG;
  auto inPlaceSite = QueryRef<IOleInPlaceSite>(site, IID_IOleInPlaceSite);
  if (!inPlaceSite) return OLE_E_NOT_INPLACEACTIVE;
  if (inPlaceSite->CanInPlaceActivate() != S_OK) return E_FAIL;
  inPlaceSite->OnInPlaceActivate();
  HWND window = nullptr;
  if (FAILED(inPlaceSite->GetWindow(&window)) || !window) window = parent;
  ComRef<IOleInPlaceFrame> frame;
  ComRef<IOleInPlaceUIWindow> document;
  RECT place = position ? *position : RECT{0, 0, 32, 32};
  RECT clip = place;
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  inPlaceSite->GetWindowContext(frame.Out(), document.Out(), &place, &clip, &frameInfo);
  if (!window || !window_.Attach(window, place)) {
    inPlaceSite->OnInPlaceDeactivate();
    return E_FAIL;
  }
  inPlaceSite_ = inPlaceSite;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs) *verbs = nullptr;
  return OLE_S_USEREG;
}

HRESULT STDMETHODCALLTYPE StandInControl::Update() { return S_OK; }
HRESULT STDMETHODCALLTYPE StandInControl::IsUpToDate() { return S_OK; }

HRESULT STDMETHODCALLTYPE StandInControl::GetUserClassID(CLSID* id) {
  if (!id) return E_POINTER;
  *id = CLSID_JqtEcrZelko;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetUserType(DWORD, LPOLESTR* name) {
  if (name) *name = nullptr;
  return OLE_S_USEREG;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::Advise(IAdviseSink* sink, DWORD* connection) {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.Out()))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, connection);
}

HRESULT STDMETHODCALLTYPE StandInControl::Unadvise(DWORD connection) {
  return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE StandInControl::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  return adviseHolder_ ? adviseHolder_->EnumAdvise(advises) : S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleWindow, IOleInPlaceObject -----------------------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_.Window();
  return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE StandInControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE StandInControl::InPlaceDeactivate() {
  if (!inPlaceSite_) return S_OK;
  window_.Detach();
  ComRef<IOleInPlaceSite> site = std::move(inPlaceSite_);
  site->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::UIDeactivate() { return S_OK; }

HRESULT STDMETHODCALLTYPE StandInControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  window_.Move(*position);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::ReactivateAndUndo() { return E_NOTIMPL; }

// --- IOleControl -----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE StandInControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT STDMETHODCALLTYPE StandInControl::FreezeEvents(BOOL freeze) {
  window_.Freeze(freeze != FALSE);
  return S_OK;
}

// --- IPersist, IPersistStreamInit --------------------------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::GetClassID(CLSID* id) { return GetUserClassID(id); }
HRESULT STDMETHODCALLTYPE StandInControl::IsDirty() { return S_FALSE; }
HRESULT STDMETHODCALLTYPE StandInControl::Load(IStream*) { return S_OK; }
HRESULT STDMETHODCALLTYPE StandInControl::Save(IStream*, BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE StandInControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::InitNew() { return S_OK; }

}  // namespace zelko
