// RAII for COM interface pointers, BSTRs and VARIANTs, and the one helper that turns a
// failed HRESULT into an exception at a boundary.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <stdexcept>
#include <string>
#include <utility>

namespace winkit {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  explicit ComPtr(T* p, bool add_ref = true) : p_(p) { if (p_ && add_ref) p_->AddRef(); }
  ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ComPtr() { Reset(); }
  ComPtr& operator=(const ComPtr& o) {
    if (this != &o) { ComPtr tmp(o); std::swap(p_, tmp.p_); }
    return *this;
  }
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) { Reset(); p_ = std::exchange(o.p_, nullptr); }
    return *this;
  }
  void Reset() { if (p_) std::exchange(p_, nullptr)->Release(); }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** Put() { Reset(); return &p_; }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  T* Detach() { return std::exchange(p_, nullptr); }
  template <class U>
  HRESULT As(ComPtr<U>* out, REFIID iid) const {
    if (!p_) return E_POINTER;
    return p_->QueryInterface(iid, out->PutVoid());
  }

 private:
  T* p_ = nullptr;
};

// An owned BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* s) : b_(s ? SysAllocString(s) : nullptr) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  Bstr& operator=(Bstr&& o) noexcept {
    if (this != &o) { SysFreeString(b_); b_ = std::exchange(o.b_, nullptr); }
    return *this;
  }
  ~Bstr() { SysFreeString(b_); }
  BSTR Get() const { return b_; }
  BSTR* Put() { SysFreeString(b_); b_ = nullptr; return &b_; }
  // Hands the string on (to a VARIANT or an [out] parameter) without freeing it.
  BSTR Detach() { return std::exchange(b_, nullptr); }

 private:
  BSTR b_ = nullptr;
};

// A VARIANT cleared on destruction.
struct Variant : VARIANT {
  Variant() { VariantInit(this); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(this); }
};

// A failed HRESULT carried as an exception to the nearest boundary.
class ComError : public std::runtime_error {
 public:
  ComError(HRESULT hr, const char* what) : std::runtime_error(what), hr_(hr) {}
  HRESULT hr() const { return hr_; }

 private:
  HRESULT hr_;
};

inline void ThrowIfFailed(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw ComError(hr, what);
}

}  // namespace winkit
