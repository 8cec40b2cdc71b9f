// Test fakes' COM identity: a reference count that starts with the test's own reference and
// counts every AddRef and Release, so a test can prove each reference was released once.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace orvo::testing {

template <typename Interface>
class FakeCom : public Interface {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++addRefs;
    return static_cast<ULONG>(++refs);
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ++releases;
    return static_cast<ULONG>(--refs);
  }
  // The test's own reference is the one it starts with.
  LONG refs = 1;
  int addRefs = 0;
  int releases = 0;
};

}  // namespace orvo::testing
