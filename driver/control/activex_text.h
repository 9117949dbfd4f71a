#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zelko {

// Texts cross the control as BSTRs; the driver's texts are single-byte in the
// system code page. Lengths are explicit, so embedded zero bytes survive.
BSTR BytesToBstr(std::string_view bytes);
std::string BstrToBytes(BSTR text);
std::string WideToBytes(std::wstring_view text);

// A VARIANT that clears itself.
class OwnedVariant {
 public:
  OwnedVariant() { VariantInit(&value_); }
  ~OwnedVariant() { VariantClear(&value_); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  VARIANT* Get() { return &value_; }

 private:
  VARIANT value_;
};

// A BSTR that frees itself.
class OwnedBstr {
 public:
  explicit OwnedBstr(std::string_view bytes) : text_(BytesToBstr(bytes)) {}
  ~OwnedBstr() { SysFreeString(text_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  BSTR Get() const { return text_; }
  // Where a by-reference argument points: the callee may free and replace it.
  BSTR* Address() { return &text_; }

 private:
  BSTR text_;
};

// The value of an event or result argument as a Long or a text, whatever
// variant type the control chose (by reference included). False when it
// cannot be converted.
bool VariantToLong(const VARIANT& value, long& result);
bool VariantToBytes(const VARIANT& value, std::string& result);

}  // namespace zelko
