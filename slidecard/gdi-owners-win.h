// Owners for the GDI and USER objects that the popup creates: bitmaps, icons, fonts and
// memory device contexts, each released exactly once, plus a guard that undoes SelectObject.
#pragma once

#include <windows.h>

#include <utility>

namespace orvo {

template <typename Handle, BOOL(WINAPI* Release)(Handle)>
class GdiOwner {
public:
  GdiOwner() = default;
  explicit GdiOwner(Handle h) : handle_(h) {}
  GdiOwner(const GdiOwner&) = delete;
  GdiOwner& operator=(const GdiOwner&) = delete;
  GdiOwner(GdiOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiOwner& operator=(GdiOwner&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~GdiOwner() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset(Handle h = nullptr) {
    if (handle_) Release(handle_);
    handle_ = h;
  }

private:
  Handle handle_ = nullptr;
};

inline BOOL WINAPI DeleteBitmap(HBITMAP h) { return ::DeleteObject(h); }
inline BOOL WINAPI DeleteFontObject(HFONT h) { return ::DeleteObject(h); }

using ScopedBitmap = GdiOwner<HBITMAP, DeleteBitmap>;
using ScopedFont = GdiOwner<HFONT, DeleteFontObject>;
using ScopedIcon = GdiOwner<HICON, ::DestroyIcon>;
using ScopedMemoryDc = GdiOwner<HDC, ::DeleteDC>;

// Selects an object into a device context for the guard's lifetime.
class ScopedSelection {
public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  ~ScopedSelection() { ::SelectObject(dc_, previous_); }

private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace orvo
