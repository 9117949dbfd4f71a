#include "fake_dispatch_control.h"

#include <olectl.h>

#include <cwchar>

namespace zelko::test {

namespace {

constexpr HREFTYPE kDispatchReference = 1;
constexpr HREFTYPE kSourceReference = 2;

// The control's own (non-source) dispatch interface; only its flags matter.
constexpr IID kFakeDispatchIid = {0x7a1e0c55, 0x3b2d, 0x4c8e, {0x9f, 0x10, 0x52, 0x6b, 0x11, 0xd3, 0x8a, 0x02}};

}  // namespace

HRESULT FakeTypeInfo::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITypeInfo)) {
    *object = this;
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeTypeInfo::GetTypeAttr(TYPEATTR** attributes) {
  auto* made = new TYPEATTR{};
  made->guid = kind_ == Kind::Source ? kFakeSourceIid : kFakeDispatchIid;
  made->typekind = kind_ == Kind::Source ? TKIND_DISPATCH : TKIND_COCLASS;
  made->cImplTypes = kind_ == Kind::Coclass ? 2 : 0;
  made->cFuncs = kind_ == Kind::Source ? 2 : 0;
  *attributes = made;
  return S_OK;
}

HRESULT FakeTypeInfo::GetRefTypeOfImplType(UINT index, HREFTYPE* reference) {
  if (kind_ != Kind::Coclass || index > 1) return TYPE_E_ELEMENTNOTFOUND;
  *reference = index == 0 ? kDispatchReference : kSourceReference;
  return S_OK;
}

HRESULT FakeTypeInfo::GetImplTypeFlags(UINT index, INT* flags) {
  if (kind_ != Kind::Coclass || index > 1) return TYPE_E_ELEMENTNOTFOUND;
  *flags = index == 0 ? IMPLTYPEFLAG_FDEFAULT : IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
  return S_OK;
}

HRESULT FakeTypeInfo::GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) {
  if (kind_ != Kind::Source || count != 1) return DISP_E_UNKNOWNNAME;
  // Type information compares names without regard to case.
  if (_wcsicmp(names[0], L"StatusUpdate") == 0) {
    ids[0] = kFakeStatusUpdateId;
  } else if (_wcsicmp(names[0], L"DataReceived") == 0) {
    ids[0] = kFakeDataReceivedId;
  } else {
    return DISP_E_UNKNOWNNAME;
  }
  return S_OK;
}

HRESULT FakeTypeInfo::GetRefTypeInfo(HREFTYPE reference, ITypeInfo** info) {
  if (kind_ != Kind::Coclass || reference != kSourceReference) return E_FAIL;
  source_->AddRef();
  *info = source_;
  return S_OK;
}

HRESULT FakeDispatchControl::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else if (withEvents_ && IsEqualIID(iid, IID_IConnectionPointContainer)) {
    *object = static_cast<IConnectionPointContainer*>(this);
  } else if (withEvents_ && IsEqualIID(iid, IID_IProvideClassInfo)) {
    *object = static_cast<IProvideClassInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT FakeDispatchControl::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT FakeDispatchControl::Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters, VARIANT* result,
                                    EXCEPINFO*, UINT*) {
  RecordedCall call{id, kind, {}, {}, {}, {}, result != nullptr};
  for (UINT i = 0; i < parameters->cArgs; ++i) {
    const VARIANT& argument = parameters->rgvarg[i];
    call.types.push_back(argument.vt);
    const BSTR text = argument.vt == VT_BSTR ? argument.bstrVal
                      : argument.vt == (VT_BSTR | VT_BYREF) ? *argument.pbstrVal
                                                            : nullptr;
    call.texts.emplace_back(text ? std::wstring(text, SysStringLen(text)) : std::wstring());
    call.numbers.push_back(argument.vt == VT_I4 ? argument.lVal
                           : argument.vt == VT_I2 ? argument.iVal
                           : argument.vt == VT_BOOL ? argument.boolVal
                                                    : 0);
  }
  for (UINT i = 0; i < parameters->cNamedArgs; ++i) call.named.push_back(parameters->rgdispidNamedArgs[i]);
  calls.push_back(call);

  if (const auto failure = failures.find(id); failure != failures.end()) return failure->second;
  if (duringCall) duringCall();
  // By-reference texts are replaced the way a control written in VB does:
  // the old string freed, a new one put in its place.
  for (UINT i = 0; i < parameters->cArgs; ++i) {
    VARIANT& argument = parameters->rgvarg[i];
    if (argument.vt != (VT_BSTR | VT_BYREF)) continue;
    const std::wstring& replacement = i == 0 && parameters->cArgs == 4 ? queryReply : portAfterOpen;
    if (replacement.empty()) continue;
    SysFreeString(*argument.pbstrVal);
    *argument.pbstrVal = SysAllocStringLen(replacement.data(), static_cast<UINT>(replacement.size()));
  }
  if (result) {
    VariantInit(result);
    result->vt = VT_I4;
    const auto configured = results.find(id);
    result->lVal = configured == results.end() ? 0 : configured->second;
  }
  return S_OK;
}

HRESULT FakeDispatchControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!IsEqualIID(iid, kFakeSourceIid)) {
    *point = nullptr;
    return CONNECT_E_NOCONNECTION;
  }
  AddRef();
  *point = this;
  return S_OK;
}

HRESULT FakeDispatchControl::GetConnectionInterface(IID* iid) {
  *iid = kFakeSourceIid;
  return S_OK;
}

HRESULT FakeDispatchControl::GetConnectionPointContainer(IConnectionPointContainer** container) {
  AddRef();
  *container = this;
  return S_OK;
}

HRESULT FakeDispatchControl::Advise(IUnknown* sink, DWORD* cookie) {
  // A connection point asks the sink for the source interface, as COM's do.
  IDispatch* events = nullptr;
  if (FAILED(sink->QueryInterface(kFakeSourceIid, reinterpret_cast<void**>(&events)))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_[*cookie] = events;
  return S_OK;
}

HRESULT FakeDispatchControl::Unadvise(DWORD cookie) {
  const auto sink = sinks_.find(cookie);
  if (sink == sinks_.end()) return CONNECT_E_NOCONNECTION;
  sink->second->Release();
  sinks_.erase(sink);
  return S_OK;
}

HRESULT FakeDispatchControl::GetClassInfo(ITypeInfo** info) {
  coclass_.AddRef();
  *info = &coclass_;
  return S_OK;
}

void FakeDispatchControl::Raise(DISPID id, VARIANT argument) {
  DISPPARAMS parameters{&argument, nullptr, 1, 0};
  for (const auto& [cookie, sink] : sinks_) {
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
  }
}

void FakeDispatchControl::Raise(DISPID id, LONG number) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I4;
  argument.lVal = number;
  Raise(id, argument);
}

}  // namespace zelko::test
