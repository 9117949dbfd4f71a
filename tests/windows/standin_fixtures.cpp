#include "standin_fixtures.h"

#include <utility>

namespace zelko::test {

namespace {

template <typename Function>
Function EntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

StandInLibrary::StandInLibrary() : module_(LoadLibraryW((ProgramFolder() + L"ZelkoStandIn.dll").c_str())) {}

StandInLibrary::~StandInLibrary() {
  if (module_) FreeLibrary(module_);
}

ComRef<IDispatch> StandInLibrary::Create() const {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  CLSID id;
  CLSIDFromString(const_cast<LPOLESTR>(kStandInClsid), &id);
  ComRef<IClassFactory> factory;
  ComRef<IDispatch> control;
  const auto get = EntryPoint<GetClassObject>(module_, "DllGetClassObject");
  if (get && SUCCEEDED(get(id, IID_IClassFactory, factory.OutVoid()))) {
    factory->CreateInstance(nullptr, IID_IDispatch, control.OutVoid());
  }
  return control;
}

HRESULT StandInLibrary::Register() const {
  const auto entry = EntryPoint<HRESULT(STDAPICALLTYPE*)()>(module_, "DllRegisterServer");
  return entry ? entry() : E_FAIL;
}

HRESULT StandInLibrary::Unregister() const {
  const auto entry = EntryPoint<HRESULT(STDAPICALLTYPE*)()>(module_, "DllUnregisterServer");
  return entry ? entry() : E_FAIL;
}

RegistrationKeeper::RegistrationKeeper() {
  wchar_t path[MAX_PATH];
  LONG size = sizeof path;
  if (RegQueryValueW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kStandInClsid + L"\\InprocServer32").c_str(),
                     path, &size) == ERROR_SUCCESS) {
    registered_ = path;
  }
}

RegistrationKeeper::~RegistrationKeeper() {
  if (registered_.empty()) return;
  if (HMODULE module = LoadLibraryW(registered_.c_str())) {
    if (const auto entry = EntryPoint<HRESULT(STDAPICALLTYPE*)()>(module, "DllRegisterServer")) entry();
    FreeLibrary(module);
  }
}

ScriptedRegister::ScriptedRegister(std::vector<std::vector<std::string>> answers)
    : answers_(std::move(answers)), serving_([this] {
        listener_.Accept();
        for (const auto& lines : answers_) {
          std::string request = listener_.ReceiveLine();
          if (request.empty()) return;
          requests_.push_back(std::move(request));
          for (const std::string& line : lines) listener_.Send(line + "\n");
        }
      }) {}

ScriptedRegister::~ScriptedRegister() {
  listener_.Stop();
  if (serving_.joinable()) serving_.join();
}

std::vector<std::string> ScriptedRegister::Requests() {
  if (serving_.joinable()) serving_.join();
  return requests_;
}

FakeFormSite::FakeFormSite(bool inPlace)
    : inPlace_(inPlace),
      window_(CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {}

FakeFormSite::~FakeFormSite() {
  if (window_) DestroyWindow(window_);
}

HRESULT STDMETHODCALLTYPE FakeFormSite::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (inPlace_ && (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))) {
    *object = static_cast<IOleInPlaceSite*>(this);
  } else {
    return E_NOINTERFACE;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeFormSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeFormSite::OnInPlaceActivate() {
  active_ = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeFormSite::OnInPlaceDeactivate() {
  active_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeFormSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                         LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) {
  if (frame) *frame = nullptr;
  if (document) *document = nullptr;
  if (position) *position = RECT{0, 0, 32, 32};
  if (clip) *clip = RECT{0, 0, 32, 32};
  return S_OK;
}

}  // namespace zelko::test
