#include "activex_text.h"

#include <windows.h>

#include <climits>

namespace zelko {

BSTR BytesToBstr(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return SysAllocStringLen(nullptr, 0);
  const int size = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(wide));
  if (text) MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text, wide);
  return text;
}

std::string BstrToBytes(BSTR text) { return WideToBytes({text, SysStringLen(text)}); }

std::string WideToBytes(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int wide = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), wide, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

namespace {

bool ConvertTo(const VARIANT& value, VARTYPE type, OwnedVariant& converted) {
  return SUCCEEDED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, type));
}

}  // namespace

bool VariantToLong(const VARIANT& value, long& result) {
  OwnedVariant converted;
  if (!ConvertTo(value, VT_I4, converted)) return false;
  result = converted.Get()->lVal;
  return true;
}

bool VariantToBytes(const VARIANT& value, std::string& result) {
  OwnedVariant converted;
  if (!ConvertTo(value, VT_BSTR, converted)) return false;
  result = BstrToBytes(converted.Get()->bstrVal);
  return true;
}

}  // namespace zelko
