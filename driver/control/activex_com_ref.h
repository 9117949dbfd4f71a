#pragma once

#include <windows.h>

#include <utility>

namespace zelko {

// Holds one reference to a COM interface and releases it when done.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already owns.
  explicit ComRef(Interface* owned) : pointer_(owned) {}
  ComRef(const ComRef& other) : pointer_(other.pointer_) {
    if (pointer_) pointer_->AddRef();
  }
  ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComRef& operator=(ComRef other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComRef() { Reset(); }

  void Reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }
  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For functions that hand out a new reference through an out-parameter.
  Interface** Out() {
    Reset();
    return &pointer_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }

 private:
  Interface* pointer_ = nullptr;
};

// A new reference to `Wanted` on `object`; empty when it has none.
template <typename Wanted, typename Interface>
ComRef<Wanted> QueryRef(Interface* object, const IID& iid) {
  ComRef<Wanted> result;
  if (object) object->QueryInterface(iid, result.OutVoid());
  return result;
}

}  // namespace zelko
