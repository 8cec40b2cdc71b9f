// Owners for the Win32 handles that the code opens: each closes its handle exactly once.
// Header-only; include only from Windows shells, never from portable code.
#pragma once

#include <windows.h>
#include <winsvc.h>

#include <utility>

namespace orvo {

// Traits name the handle type, its failure value and how it is closed.
template <typename Traits>
class Scoped {
public:
  using Handle = typename Traits::Handle;

  Scoped() = default;
  explicit Scoped(Handle h) : handle_(h) {}
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.handle_, Traits::Invalid()));
    }
    return *this;
  }
  ~Scoped() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  // For out-parameters: closes what is held and hands out the slot.
  Handle* put() {
    reset();
    return &handle_;
  }
  void reset(Handle h = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) {
      Traits::Close(handle_);
    }
    handle_ = h;
  }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }

private:
  Handle handle_ = Traits::Invalid();
};

#define ORVO_HANDLE_TRAITS(Name, Type, InvalidValue, CloseCall) \
  struct Name {                                                 \
    using Handle = Type;                                        \
    static Handle Invalid() { return InvalidValue; }            \
    static void Close(Handle h) { CloseCall(h); }               \
  }

ORVO_HANDLE_TRAITS(KernelHandleTraits, HANDLE, nullptr, ::CloseHandle);
ORVO_HANDLE_TRAITS(FileHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle);
ORVO_HANDLE_TRAITS(FindHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose);
ORVO_HANDLE_TRAITS(ChangeNotificationTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindCloseChangeNotification);
ORVO_HANDLE_TRAITS(RegistryKeyTraits, HKEY, nullptr, ::RegCloseKey);
ORVO_HANDLE_TRAITS(ServiceHandleTraits, SC_HANDLE, nullptr, ::CloseServiceHandle);
ORVO_HANDLE_TRAITS(ModuleTraits, HMODULE, nullptr, ::FreeLibrary);
#undef ORVO_HANDLE_TRAITS

// Kernel objects whose failure value is null (threads, events, processes).
using ScopedHandle = Scoped<KernelHandleTraits>;
// CreateFileW's failure value is INVALID_HANDLE_VALUE.
using ScopedFile = Scoped<FileHandleTraits>;
using ScopedFind = Scoped<FindHandleTraits>;
using ScopedChangeNotification = Scoped<ChangeNotificationTraits>;
using ScopedKey = Scoped<RegistryKeyTraits>;
using ScopedServiceHandle = Scoped<ServiceHandleTraits>;
using ScopedModule = Scoped<ModuleTraits>;

}  // namespace orvo
