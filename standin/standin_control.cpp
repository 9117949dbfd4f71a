#include "standin_control.h"

#include <olectl.h>

#include <string>

#include "activex_text.h"
#include "standin_module.h"

namespace zelko {

namespace {

// The type library embedded in this DLL as resource TYPELIB 1.
ComRef<ITypeLib> EmbeddedTypeLib() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(StandInModule(), path, MAX_PATH);
  ComRef<ITypeLib> library;
  if (length == 0 || length >= MAX_PATH) return library;
  LoadTypeLibEx(path, REGKIND_NONE, library.Out());
  return library;
}

ComRef<ITypeInfo> TypeInfoOf(ITypeLib* library, const GUID& id) {
  ComRef<ITypeInfo> info;
  if (library) library->GetTypeInfoOfGuid(id, info.Out());
  return info;
}

// Replaces a by-reference text with `bytes`.
void SetText(BSTR* place, const std::string& bytes) {
  SysFreeString(*place);
  *place = BytesToBstr(bytes);
}

}  // namespace

StandInControl* StandInControl::Create() {
  ComRef<ITypeLib> library = EmbeddedTypeLib();
  ComRef<ITypeInfo> interfaceInfo = TypeInfoOf(library.Get(), IID_IZelkoStandIn);
  ComRef<ITypeInfo> classInfo = TypeInfoOf(library.Get(), CLSID_JqtEcrZelko);
  if (!interfaceInfo || !classInfo) return nullptr;
  return new StandInControl(std::move(interfaceInfo), std::move(classInfo));
}

StandInControl::StandInControl(ComRef<ITypeInfo> interfaceInfo, ComRef<ITypeInfo> classInfo)
    : interfaceInfo_(std::move(interfaceInfo)),
      classInfo_(std::move(classInfo)),
      strict_(StandInStrictMode()),
      register_(MakeStandInRegister(*this)),
      window_([this] { RaiseQueued(); }),
      connectionPoint_(*this) {
  HoldModule();
}

StandInControl::~StandInControl() { ReleaseModule(); }

// --- IUnknown ------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IZelkoStandIn)) {
    *object = static_cast<IZelkoStandIn*>(this);
  } else if (IsEqualIID(iid, IID_IProvideClassInfo)) {
    *object = static_cast<IProvideClassInfo*>(this);
  } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else if (IsEqualIID(iid, IID_IOleObject)) {
    *object = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
    *object = static_cast<IOleInPlaceObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleControl)) {
    *object = static_cast<IOleControl*>(this);
  } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
    *object = static_cast<IPersistStreamInit*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE StandInControl::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE StandInControl::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

// --- IDispatch -----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = interfaceInfo_.Get();
  (*info)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                                        DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return DispGetIDsOfNames(interfaceInfo_.Get(), names, count, ids);
}

HRESULT STDMETHODCALLTYPE StandInControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return DispInvoke(static_cast<IZelkoStandIn*>(this), interfaceInfo_.Get(), id, flags, parameters, result,
                    exception, argumentError);
}

// --- the register operations ---------------------------------------------------

bool StandInControl::Ready() const { return !strict_ || (clientSite_ && inPlaceSite_); }

HRESULT STDMETHODCALLTYPE StandInControl::ClosePort(LONG* result) {
  if (!result) return E_POINTER;
  *result = Ready() ? register_->ClosePort() : kResultNoHardware;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::OpenPort(BSTR* port, LONG* result) {
  if (!port || !result) return E_POINTER;
  *result = Ready() ? register_->OpenPort(BstrToBytes(*port)) : kResultNoHardware;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::put_HighSpeed(VARIANT_BOOL value) {
  if (Ready()) register_->SetHighSpeed(value != VARIANT_FALSE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SendCommand(LONG, short, BSTR text, LONG* result) {
  if (!result) return E_POINTER;
  *result = Ready() ? register_->SendCommand(BstrToBytes(text)) : kResultNoHardware;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::SendQuery(LONG, short, BSTR text, BSTR* reply, LONG* result) {
  if (!reply || !result) return E_POINTER;
  QueryResult answer{kResultNoHardware, {}};
  if (Ready()) answer = register_->SendQuery(BstrToBytes(text));
  SetText(reply, answer.reply);
  *result = answer.code;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::get_ResultCodeExtended(LONG* value) {
  if (!value) return E_POINTER;
  *value = Ready() ? register_->ResultCodeExtended() : 0;
  return S_OK;
}

// --- events --------------------------------------------------------------------

void StandInControl::StatusUpdate(std::int32_t code) {
  window_.Queue({StandInEvent::Kind::StatusUpdate, code, {}});
}

void StandInControl::DataReceived(const std::string& text) {
  window_.Queue({StandInEvent::Kind::DataReceived, 0, text});
}

// One event at a time: a sink that dispatches messages (a modal box) comes
// back here and leaves the rest to the outer loop, so the order holds. A sink
// may also drop the last reference to the control meanwhile.
void StandInControl::RaiseQueued() {
  if (raising_) return;
  raising_ = true;
  AddRef();
  while (auto event = window_.TakeNext()) connectionPoint_.Raise(*event);
  raising_ = false;
  Release();
}

// --- IProvideClassInfo, IConnectionPointContainer --------------------------------

HRESULT STDMETHODCALLTYPE StandInControl::GetClassInfo(ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = classInfo_.Get();
  (*info)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandInControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return EnumerateConnectionPoint(&connectionPoint_, points);
}

HRESULT STDMETHODCALLTYPE StandInControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, DIID_DZelkoStandInEvents)) return CONNECT_E_NOCONNECTION;
  *point = &connectionPoint_;
  connectionPoint_.AddRef();
  return S_OK;
}

}  // namespace zelko
