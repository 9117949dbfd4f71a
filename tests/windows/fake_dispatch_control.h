#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zelko::test {

// Dispatch ids the fake gives its two events: the binding must find them by name.
inline constexpr DISPID kFakeStatusUpdateId = 0x1101;
inline constexpr DISPID kFakeDataReceivedId = 0x2202;
// The fake's event (source) interface.
inline constexpr IID kFakeSourceIid = {0x7a1e0c55, 0x3b2d, 0x4c8e, {0x9f, 0x10, 0x52, 0x6b, 0x11, 0xd3, 0x8a, 0x01}};

// A minimal type information object: either the control's coclass (one
// dispatch interface and one default source interface) or that source
// interface with its two event names.
class FakeTypeInfo final : public ITypeInfo {
 public:
  enum class Kind { Coclass, Source };
  explicit FakeTypeInfo(Kind kind, FakeTypeInfo* source = nullptr) : kind_(kind), source_(source) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** attributes) override;
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* reference) override;
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* flags) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID, BSTR*, BSTR*, DWORD*, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE reference, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* attributes) override { delete attributes; }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

  ULONG References() const { return references_; }

 private:
  Kind kind_;
  FakeTypeInfo* source_;
  ULONG references_ = 1;
};

// One IDispatch::Invoke as the fake received it.
struct RecordedCall {
  DISPID id = 0;
  WORD kind = 0;
  std::vector<VARTYPE> types;        // in DISPPARAMS order (last argument first)
  std::vector<std::wstring> texts;   // the text of each BSTR argument, "" for others
  std::vector<LONG> numbers;         // the value of each numeric argument, 0 for others
  std::vector<DISPID> named;
  bool hadResult = false;            // a place for the result was given
};

// An in-process stand-in for the maker's control: records every call,
// answers with configured results, fills by-reference arguments, and raises
// events through its connection point while a call is running.
class FakeDispatchControl final : public IDispatch,
                                  public IConnectionPointContainer,
                                  public IConnectionPoint,
                                  public IProvideClassInfo {
 public:
  explicit FakeDispatchControl(bool withEvents = true) : withEvents_(withEvents) {}

  // What the fake does.
  std::map<DISPID, LONG> results;                 // a method's Long result (0 when absent)
  std::map<DISPID, HRESULT> failures;             // calls that fail with this HRESULT
  std::wstring queryReply = L"0000000000001";     // put into SendQuery's reply
  std::wstring portAfterOpen;                     // put into OpenPort's port when not empty
  std::function<void()> duringCall;               // run inside every call, e.g. to raise events

  std::vector<RecordedCall> calls;

  // Raises an event on every connected sink with one argument.
  void Raise(DISPID id, VARIANT argument);
  // The same with a Long argument.
  void Raise(DISPID id, LONG number);
  std::size_t Sinks() const { return sinks_.size(); }
  ULONG References() const { return references_; }
  FakeTypeInfo& Coclass() { return coclass_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO*, UINT*) override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
  // IProvideClassInfo
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

 private:
  bool withEvents_;
  FakeTypeInfo source_{FakeTypeInfo::Kind::Source};
  FakeTypeInfo coclass_{FakeTypeInfo::Kind::Coclass, &source_};
  std::map<DWORD, IDispatch*> sinks_;
  DWORD nextCookie_ = 1;
  ULONG references_ = 1;
};

}  // namespace zelko::test
