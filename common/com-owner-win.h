// Owners for COM objects: interface pointers, BSTRs and VARIANTs,
// each released, freed or cleared exactly once. Header-only; Windows shells only.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace orvo {

template <typename T>
class ComOwner {
public:
  ComOwner() = default;
  ComOwner(const ComOwner&) = delete;
  ComOwner& operator=(const ComOwner&) = delete;
  ~ComOwner() { reset(); }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** put() {
    reset();
    return &p_;
  }
  void reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // After a failed call: whatever it left in the slot is not a reference of ours.
  void Forget() { p_ = nullptr; }

private:
  T* p_ = nullptr;
};

class ScopedBstr {
public:
  explicit ScopedBstr(const wchar_t* text) : bstr_(::SysAllocString(text)) {}
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ~ScopedBstr() { ::SysFreeString(bstr_); }
  BSTR get() const { return bstr_; }
  explicit operator bool() const { return bstr_ != nullptr; }

private:
  BSTR bstr_;
};

class ScopedVariant {
public:
  ScopedVariant() { ::VariantInit(&v_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ~ScopedVariant() { ::VariantClear(&v_); }
  VARIANT* get() { return &v_; }
  // Clears what is held and hands out the variant for a call to fill.
  VARIANT* put() {
    ::VariantClear(&v_);
    return &v_;
  }
  // After a failed call: whatever it left in the variant is not ours to clear.
  void Forget() { ::VariantInit(&v_); }

private:
  VARIANT v_;
};

}  // namespace orvo
