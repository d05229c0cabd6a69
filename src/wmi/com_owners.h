// Scope-bound owners for COM: a reference, a BSTR, and one initialisation of COM on the
// calling thread. None of them throws; each gives its resource back when it goes out of scope.
#pragma once

#include <utility>

#include "platform/windows_api.h"

// Owns one reference to a COM interface.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  explicit ComRef(Interface* adopted) noexcept : pointer_(adopted) {}
  ~ComRef() { reset(); }
  ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) reset(std::exchange(other.pointer_, nullptr));
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  // A second owner of the same object, with a reference of its own.
  ComRef share() const noexcept {
    if (pointer_ != nullptr) pointer_->AddRef();
    return ComRef(pointer_);
  }

  Interface* get() const noexcept { return pointer_; }
  Interface* operator->() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // For an out-parameter: what the callee writes is adopted. Empties this owner first.
  Interface** put() noexcept {
    reset();
    return &pointer_;
  }
  void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

  void reset(Interface* adopted = nullptr) noexcept {
    Interface* old = std::exchange(pointer_, adopted);
    if (old != nullptr) old->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

// Owns one BSTR; empty when the allocation failed.
class Bstr {
 public:
  explicit Bstr(const WCHAR* text) noexcept : text_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const noexcept { return text_; }
  explicit operator bool() const noexcept { return text_ != nullptr; }

 private:
  BSTR text_;
};

// Joins the calling thread to the multithreaded apartment for the owner's lifetime. Only an
// initialisation that succeeded is undone: a thread already in a single-threaded apartment
// keeps it, and COM stays usable there all the same.
class ComApartment {
 public:
  ComApartment() noexcept : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
  ~ComApartment() {
    if (joined_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool joined_;
};
