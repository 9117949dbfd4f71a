#include "activex_type_info.h"

#include <ocidl.h>

#include <string>

namespace zelko {

ComRef<ITypeInfo> ClassTypeInfo(IDispatch* control) {
  ComRef<ITypeInfo> info;
  auto provider = QueryRef<IProvideClassInfo>(control, IID_IProvideClassInfo);
  if (provider) provider->GetClassInfo(info.Out());
  return info;
}

ComRef<ITypeInfo> DefaultInterface(ITypeInfo* coclass, bool source) {
  TYPEATTR* attributes = nullptr;
  if (!coclass || FAILED(coclass->GetTypeAttr(&attributes))) return {};
  const WORD count = attributes->cImplTypes;
  coclass->ReleaseTypeAttr(attributes);
  // An incoming interface that none marks [default]: the first is the default.
  int chosen = -1;
  for (UINT i = 0; i < count; ++i) {
    INT flags = 0;
    if (FAILED(coclass->GetImplTypeFlags(i, &flags)) || ((flags & IMPLTYPEFLAG_FSOURCE) != 0) != source) continue;
    if (flags & IMPLTYPEFLAG_FDEFAULT) {
      chosen = static_cast<int>(i);
      break;
    }
    if (!source && chosen < 0) chosen = static_cast<int>(i);
  }
  HREFTYPE reference = 0;
  ComRef<ITypeInfo> found;
  if (chosen >= 0 && SUCCEEDED(coclass->GetRefTypeOfImplType(static_cast<UINT>(chosen), &reference))) {
    coclass->GetRefTypeInfo(reference, found.Out());
  }
  return found;
}

DISPID IdOfName(ITypeInfo* info, std::string_view name) {
  std::wstring text(name.begin(), name.end());
  LPOLESTR names[] = {text.data()};
  MEMBERID id = DISPID_UNKNOWN;
  return SUCCEEDED(info->GetIDsOfNames(names, 1, &id)) ? id : DISPID_UNKNOWN;
}

}  // namespace zelko
