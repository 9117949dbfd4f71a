#include "activex_type_library_check.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>

#include "activex_text.h"
#include "activex_type_info.h"
#include "control_dispatch_table.h"

namespace zelko {

namespace {

constexpr char kRemedy[] =
    "Il controllo registrato non e' la versione che il driver conosce: installare e registrare il JQTZelko.ocx "
    "adatto a questo driver (chiedere al produttore del registratore).";

// The automation types the driver uses and their variant types.
constexpr std::pair<AutomationType, VARTYPE> kVariantTypes[] = {
    {AutomationType::kLong, VT_I4},
    {AutomationType::kInteger, VT_I2},
    {AutomationType::kString, VT_BSTR},
    {AutomationType::kBoolean, VT_BOOL},
};

// A variant type by its Visual Basic name.
std::string VariantTypeName(VARTYPE type) {
  switch (type) {
    case VT_I2: return "Integer";
    case VT_I4: return "Long";
    case VT_R4: return "Single";
    case VT_R8: return "Double";
    case VT_CY: return "Currency";
    case VT_DATE: return "Date";
    case VT_BSTR: return "String";
    case VT_DISPATCH: return "Object";
    case VT_BOOL: return "Boolean";
    case VT_VARIANT: return "Variant";
    case VT_UNKNOWN: return "IUnknown";
    case VT_UI1: return "Byte";
    case VT_I8: return "LongLong";
    case VT_INT: return "int";
    case VT_UINT: return "unsigned int";
    default: return "VT " + std::to_string(type);
  }
}

std::string TypeName(AutomationType type) {
  const auto* entry = std::find_if(std::begin(kVariantTypes), std::end(kVariantTypes),
                                   [type](const auto& pair) { return pair.first == type; });
  return entry == std::end(kVariantTypes) ? std::string("nessuno") : VariantTypeName(entry->second);
}

std::optional<AutomationType> DriverType(VARTYPE type) {
  for (const auto& [automation, variant] : kVariantTypes) {
    if (variant == type) return automation;
  }
  return std::nullopt;
}

std::string Reference(bool byReference) { return byReference ? " per riferimento" : ""; }

std::string HexId(DISPID id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(id));
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::string NameOf(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return {};
  std::string text = BstrToBytes(name);
  SysFreeString(name);
  return text;
}

// A type as a type library declares it.
struct DeclaredType {
  std::string name;                    // e.g. "Long", "Double", an enumeration's name
  std::optional<AutomationType> type;  // when it is one the driver uses
  bool byReference = false;
  bool optional = false;

  std::string Text() const { return name + Reference(byReference); }
  bool Is(const ControlArgument& expected) const {
    return type == expected.type && byReference == expected.byReference;
  }
};

DeclaredType Declared(const TYPEDESC& described, ITypeInfo* owner) {
  DeclaredType declared;
  const TYPEDESC* type = &described;
  if (type->vt == VT_PTR && type->lptdesc) {
    declared.byReference = true;
    type = type->lptdesc;
  }
  VARTYPE variant = type->vt;
  ComRef<ITypeInfo> named;
  TYPEATTR* attributes = nullptr;
  if (variant == VT_USERDEFINED && SUCCEEDED(owner->GetRefTypeInfo(type->hreftype, named.Out())) &&
      SUCCEEDED(named->GetTypeAttr(&attributes))) {
    // An alias of a plain type is that type; an enumeration or a record keeps its name.
    const bool plainAlias = attributes->typekind == TKIND_ALIAS && attributes->tdescAlias.vt != VT_USERDEFINED &&
                            attributes->tdescAlias.vt != VT_PTR;
    if (plainAlias) variant = attributes->tdescAlias.vt;
    named->ReleaseTypeAttr(attributes);
    if (!plainAlias) declared.name = NameOf(named.Get(), MEMBERID_NIL);
  }
  if (declared.name.empty()) {
    declared.name = VariantTypeName(variant);
    declared.type = DriverType(variant);
  }
  return declared;
}

// A member of an interface as a caller sees it; a property gives one for
// each way of calling it.
struct Member {
  std::string name;
  DISPID id = DISPID_UNKNOWN;
  INVOKEKIND kind = INVOKE_FUNC;
  std::vector<DeclaredType> arguments;  // in declared order, without the result and the locale
  std::optional<DeclaredType> result;   // empty: none
};

Member FromFunction(ITypeInfo* info, const FUNCDESC& function) {
  Member member{NameOf(info, function.memid), function.memid, function.invkind, {}, std::nullopt};
  for (SHORT i = 0; i < function.cParams; ++i) {
    const ELEMDESC& parameter = function.lprgelemdescParam[i];
    const USHORT flags = parameter.paramdesc.wParamFlags;
    if (flags & PARAMFLAG_FRETVAL) {
      const TYPEDESC& place = parameter.tdesc;
      member.result = Declared(place.vt == VT_PTR && place.lptdesc ? *place.lptdesc : place, info);
    } else if (!(flags & PARAMFLAG_FLCID)) {
      member.arguments.push_back(Declared(parameter.tdesc, info));
      member.arguments.back().optional = (flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
    }
  }
  const VARTYPE returned = function.elemdescFunc.tdesc.vt;
  if (!member.result && returned != VT_HRESULT && returned != VT_VOID) {
    member.result = Declared(function.elemdescFunc.tdesc, info);
  }
  return member;
}

// A dispinterface's property: read, and written unless read-only.
void AddProperty(ITypeInfo* info, const VARDESC& property, std::vector<Member>& members) {
  if (property.varkind != VAR_DISPATCH) return;
  const DeclaredType type = Declared(property.elemdescVar.tdesc, info);
  const std::string name = NameOf(info, property.memid);
  members.push_back({name, property.memid, INVOKE_PROPERTYGET, {}, type});
  if (!(property.wVarFlags & VARFLAG_FREADONLY)) {
    members.push_back({name, property.memid, INVOKE_PROPERTYPUT, {type}, std::nullopt});
  }
}

// The members of `info` and of the interfaces it derives from, short of
// IDispatch and IUnknown.
void CollectMembers(ITypeInfo* info, std::vector<Member>& members, int depth = 0) {
  TYPEATTR* attributes = nullptr;
  if (!info || depth > 8 || FAILED(info->GetTypeAttr(&attributes))) return;
  const bool system = IsEqualGUID(attributes->guid, IID_IDispatch) || IsEqualGUID(attributes->guid, IID_IUnknown);
  const WORD functions = attributes->cFuncs;
  const WORD properties = attributes->cVars;
  const WORD bases = attributes->cImplTypes;
  info->ReleaseTypeAttr(attributes);
  if (system) return;
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function))) continue;
    members.push_back(FromFunction(info, *function));
    info->ReleaseFuncDesc(function);
  }
  for (UINT i = 0; i < properties; ++i) {
    VARDESC* property = nullptr;
    if (FAILED(info->GetVarDesc(i, &property))) continue;
    AddProperty(info, *property, members);
    info->ReleaseVarDesc(property);
  }
  HREFTYPE reference = 0;
  ComRef<ITypeInfo> base;
  if (bases > 0 && SUCCEEDED(info->GetRefTypeOfImplType(0, &reference)) &&
      SUCCEEDED(info->GetRefTypeInfo(reference, base.Out()))) {
    CollectMembers(base.Get(), members, depth + 1);
  }
}

INVOKEKIND InvokeKindOf(InvokeKind kind) {
  switch (kind) {
    case InvokeKind::kMethod: return INVOKE_FUNC;
    case InvokeKind::kPropertyPut: return INVOKE_PROPERTYPUT;
    case InvokeKind::kPropertyGet: return INVOKE_PROPERTYGET;
  }
  return INVOKE_FUNC;
}

std::string KindName(INVOKEKIND kind) {
  switch (kind) {
    case INVOKE_FUNC: return "metodo";
    case INVOKE_PROPERTYGET: return "property get";
    case INVOKE_PROPERTYPUT: return "property put";
    case INVOKE_PROPERTYPUTREF: return "property putref";
  }
  return "membro";
}

template <typename Predicate>
const Member* Find(const std::vector<Member>& members, Predicate wanted) {
  const auto found = std::find_if(members.begin(), members.end(), wanted);
  return found == members.end() ? nullptr : &*found;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

std::string ExpectedArguments(const ControlOperation& operation) {
  std::vector<std::string> names;
  for (const ControlArgument& argument : operation.Arguments()) {
    names.push_back(TypeName(argument.type) + Reference(argument.byReference));
  }
  return "(" + Joined(names, ", ") + ")";
}

// Where the operation is not at its dispatch id with its kind of call.
std::string NotAtItsId(const std::vector<Member>& members, const ControlOperation& operation, INVOKEKIND kind) {
  const std::string name(operation.name);
  const Member* elsewhere =
      Find(members, [&](const Member& m) { return SameName(m.name, operation.name) && m.kind == kind; });
  const std::string where = elsewhere ? "la libreria dei tipi ha " + name + " a " + HexId(elsewhere->id)
                                      : "la libreria dei tipi non ha " + name + " come " + KindName(kind);
  const Member* atId = Find(members, [&](const Member& m) { return m.id == operation.dispatchId; });
  if (!atId) return name + ": dispatch id " + HexId(operation.dispatchId) + " non trovato; " + where;
  return name + ": al dispatch id " + HexId(operation.dispatchId) + " la libreria dei tipi ha " + atId->name + " (" +
         KindName(atId->kind) + "), il driver chiama " + KindName(kind) + "; " + where;
}

// The differences between a declared member and what the driver passes and reads.
std::vector<std::string> Differences(const Member& member, const ControlOperation& operation) {
  std::vector<std::string> differences;
  if (!SameName(member.name, operation.name)) differences.push_back("a quell'id si chiama " + member.name);
  const auto expected = operation.Arguments();
  for (std::size_t i = 0; i < expected.size() && i < member.arguments.size(); ++i) {
    if (!member.arguments[i].Is(expected[i])) {
      std::string place = "argomento ";
      place += std::to_string(i + 1);  // appended: GCC 12 warns falsely (-Wrestrict) on "..." + to_string()
      differences.push_back(place + ": dichiarato " + member.arguments[i].Text() + ", il driver passa " +
                            TypeName(expected[i].type) + Reference(expected[i].byReference));
    }
  }
  const std::size_t required = static_cast<std::size_t>(
      std::count_if(member.arguments.begin(), member.arguments.end(), [](const auto& a) { return !a.optional; }));
  if (member.arguments.size() < expected.size() || required > expected.size()) {
    differences.push_back("dichiara " + std::to_string(member.arguments.size()) + " argomenti, il driver ne passa " +
                          std::to_string(expected.size()));
  }
  if (operation.result != AutomationType::kNone && (!member.result || member.result->type != operation.result)) {
    differences.push_back((member.result ? "il risultato e' " + member.result->Text() : "non da' un risultato") +
                          ", il driver legge un " + TypeName(operation.result));
  }
  return differences;
}

Finding CheckOperation(const std::vector<Member>& members, const ControlOperation& operation) {
  Finding finding{"control.operation." + std::string(operation.name), false, {}, kRemedy};
  const INVOKEKIND kind = InvokeKindOf(operation.kind);
  const Member* member =
      Find(members, [&](const Member& m) { return m.id == operation.dispatchId && m.kind == kind; });
  if (!member) {
    finding.text = NotAtItsId(members, operation, kind);
    return finding;
  }
  const std::string heading = std::string(operation.name) + ": " + KindName(kind) + " al dispatch id " +
                              HexId(operation.dispatchId) + " " + ExpectedArguments(operation);
  const std::vector<std::string> differences = Differences(*member, operation);
  if (!differences.empty()) {
    finding.text = heading + ": " + Joined(differences, "; ");
    return finding;
  }
  const std::string result =
      operation.result == AutomationType::kNone ? "" : ", risultato " + TypeName(operation.result);
  return {finding.id, true, heading + result + ", come lo chiama il driver", {}};
}

Finding CheckEvent(const std::vector<Member>& events, const std::string& source, const ControlEvent& event) {
  const std::string name(event.name);
  Finding finding{"control.event." + name, false, {}, kRemedy};
  const std::string expected = name + "(" + TypeName(event.argument) + ")";
  if (source.empty()) {
    finding.text = name + ": la classe non ha un'interfaccia eventi predefinita ([default, source])";
    return finding;
  }
  const Member* member =
      Find(events, [&](const Member& m) { return SameName(m.name, event.name) && m.kind == INVOKE_FUNC; });
  if (!member) {
    std::vector<std::string> declared;
    for (const Member& m : events) declared.push_back(m.name);
    finding.text = name + ": l'interfaccia eventi " + source + " non lo dichiara (dichiara: " +
                   (declared.empty() ? std::string("nessun evento") : Joined(declared, ", ")) + ")";
    return finding;
  }
  const auto& arguments = member->arguments;
  if (arguments.size() != 1 || arguments[0].type != event.argument) {
    std::vector<std::string> types;
    for (const DeclaredType& argument : arguments) types.push_back(argument.Text());
    finding.text = name + ": l'interfaccia eventi " + source + " lo dichiara (" + Joined(types, ", ") +
                   "), il driver legge " + expected;
    return finding;
  }
  const char* passed = arguments[0].byReference ? ", argomento per riferimento" : "";
  return {finding.id, true,
          expected + " nell'interfaccia eventi " + source + ", dispatch id " + HexId(member->id) + passed, {}};
}

}  // namespace

std::vector<Finding> CheckTypeLibrary(ITypeInfo* coclass) {
  std::vector<Finding> findings;
  std::vector<Member> operations;
  CollectMembers(DefaultInterface(coclass, false).Get(), operations);
  for (const ControlOperation& operation : control_table::kOperations) {
    findings.push_back(CheckOperation(operations, operation));
  }
  const ComRef<ITypeInfo> source = DefaultInterface(coclass, true);
  std::vector<Member> events;
  CollectMembers(source.Get(), events);
  std::string sourceName = source ? NameOf(source.Get(), MEMBERID_NIL) : std::string();
  if (source && sourceName.empty()) sourceName = "(senza nome)";
  for (const ControlEvent& event : control_table::kEvents) findings.push_back(CheckEvent(events, sourceName, event));
  return findings;
}

}  // namespace zelko
