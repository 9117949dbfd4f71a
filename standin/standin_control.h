#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "activex_com_ref.h"
#include "register_control.h"
#include "standin_connection_point.h"
#include "standin_event_window.h"
#include "standin_register.h"
#include "zelko_standin.h"

namespace zelko {

// The stand-in control, JqtEcrZelko: an ActiveX control whose six operations
// go to a register emulator and whose events are raised from its own window.
// With ZELKO_STANDIN_STRICT=1 it answers 107 until it sits on a form: a
// client site set and in-place active.
class StandInControl final : public IZelkoStandIn,
                             public IProvideClassInfo,
                             public IConnectionPointContainer,
                             public IOleObject,
                             public IOleInPlaceObject,
                             public IOleControl,
                             public IPersistStreamInit,
                             private RegisterEvents {
 public:
  // Null when the embedded type library cannot be loaded.
  static StandInControl* Create();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, from the type library
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // IZelkoStandIn: the register operations
  HRESULT STDMETHODCALLTYPE ClosePort(LONG* result) override;
  HRESULT STDMETHODCALLTYPE OpenPort(BSTR* port, LONG* result) override;
  HRESULT STDMETHODCALLTYPE put_HighSpeed(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE SendCommand(LONG first, short second, BSTR text, LONG* result) override;
  HRESULT STDMETHODCALLTYPE SendQuery(LONG first, short second, BSTR text, BSTR* reply, LONG* result) override;
  HRESULT STDMETHODCALLTYPE get_ResultCodeExtended(LONG* value) override;

  // IProvideClassInfo
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IOleObject (standin_ole_object.cpp)
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR application, LPCOLESTR document) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IPersist, IPersistStreamInit: the control keeps no state of its own.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;

 private:
  StandInControl(ComRef<ITypeInfo> interfaceInfo, ComRef<ITypeInfo> classInfo);
  ~StandInControl();

  // RegisterEvents: what arrives during an operation waits for the window.
  void StatusUpdate(std::int32_t code) override;
  void DataReceived(const std::string& text) override;
  void RaiseQueued();

  // False in strict mode until the control sits on a form.
  bool Ready() const;
  HRESULT ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT position);

  ULONG references_ = 1;
  ComRef<ITypeInfo> interfaceInfo_;
  ComRef<ITypeInfo> classInfo_;
  const bool strict_;
  std::unique_ptr<RegisterControl> register_;
  StandInEventWindow window_;
  StandInConnectionPoint connectionPoint_;
  bool raising_ = false;

  ComRef<IOleClientSite> clientSite_;
  ComRef<IOleInPlaceSite> inPlaceSite_;  // set while in-place active
  ComRef<IOleAdviseHolder> adviseHolder_;
  SIZEL extent_{847, 847};  // HIMETRIC, 32 pixels at 96 dots per inch
};

}  // namespace zelko
