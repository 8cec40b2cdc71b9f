// In-memory fakes of the WMI interfaces that CkroWmiSmBios uses, for the win test tier. Each
// fake belongs to its test (it is never deleted through Release), starts with one reference
// held by the test, and counts AddRef/Release so the test can prove every reference balanced.
#pragma once

#include <windows.h>
#include <wbemidl.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "common/com-fake-win.h"

namespace orvo::testing {

// Properties by name; a name without an entry makes Get fail with WBEM_E_NOT_FOUND.
class FakeClassObject final : public FakeCom<IWbemClassObject> {
public:
  FakeClassObject() = default;
  FakeClassObject(const FakeClassObject&) = delete;
  ~FakeClassObject() {
    for (auto& [name, value] : properties) ::VariantClear(&value);
  }
  void SetInt(const std::wstring& name, LONG value) {
    VARIANT v = Typed(VT_I4);
    v.lVal = value;
    Replace(name, v);
  }
  void SetByte(const std::wstring& name, BYTE value) {
    VARIANT v = Typed(VT_UI1);
    v.bVal = value;
    Replace(name, v);
  }
  void SetBytes(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    VARIANT v = Typed(VT_ARRAY | VT_UI1);
    v.parray = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    ::SafeArrayAccessData(v.parray, &data);
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    ::SafeArrayUnaccessData(v.parray);
    Replace(name, v);
  }
  // An array type without an array: SafeArrayAccessData on it fails.
  void SetNullArray(const std::wstring& name) {
    VARIANT v = Typed(VT_ARRAY | VT_UI1);
    v.parray = nullptr;
    Replace(name, v);
  }
  void Remove(const std::wstring& name) {
    if (const auto it = properties.find(name); it != properties.end()) {
      ::VariantClear(&it->second);
      properties.erase(it);
    }
  }

  HRESULT STDMETHODCALLTYPE Get(LPCWSTR wszName, LONG lFlags, VARIANT* pVal, CIMTYPE* pType, LONG* plFlavor) override {
    gets.push_back(wszName);
    flagsSeen.push_back(lFlags);
    typeOrFlavorAsked |= pType != nullptr || plFlavor != nullptr;
    const auto it = properties.find(wszName);
    if (it == properties.end()) return WBEM_E_NOT_FOUND;
    ::VariantInit(pVal);
    return ::VariantCopy(pVal, &it->second);
  }
  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndEnumeration() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return E_NOTIMPL; }

  std::map<std::wstring, VARIANT> properties;  // owned: cleared when replaced or removed
  std::vector<std::wstring> gets;
  std::vector<LONG> flagsSeen;
  bool typeOrFlavorAsked = false;

private:
  static VARIANT Typed(VARTYPE type) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = type;
    return v;
  }
  void Replace(const std::wstring& name, const VARIANT& value) {
    Remove(name);
    properties[name] = value;
  }
};

class FakeEnumerator final : public FakeCom<IEnumWbemClassObject> {
public:
  HRESULT STDMETHODCALLTYPE Next(LONG lTimeout, ULONG uCount, IWbemClassObject** apObjects, ULONG* puReturned) override {
    ++nextCalls;
    timeout = lTimeout;
    count = uCount;
    if (instance == nullptr) {
      *puReturned = 0;
      return static_cast<HRESULT>(WBEM_S_TIMEDOUT);
    }
    instance->AddRef();
    apObjects[0] = instance;
    *puReturned = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return E_NOTIMPL; }

  IWbemClassObject* instance = nullptr;
  int nextCalls = 0;
  LONG timeout = 0;
  ULONG count = 0;
};

class FakeServices final : public FakeCom<IWbemServices> {
public:
  HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR strFilter, LONG lFlags, IWbemContext* pCtx,
                                               IEnumWbemClassObject** ppEnum) override {
    className = strFilter ? strFilter : L"";
    flags = lFlags;
    contextGiven = pCtx != nullptr;
    if (FAILED(result)) {
      *ppEnum = nullptr;
      return result;
    }
    enumerator->AddRef();
    *ppEnum = enumerator;
    return result;
  }
  HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**, IWbemCallResult**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemObjectSink*) override { return E_NOTIMPL; }

  HRESULT result = S_OK;
  IEnumWbemClassObject* enumerator = nullptr;
  std::wstring className;
  LONG flags = -1;
  bool contextGiven = false;
};

class FakeLocator final : public FakeCom<IWbemLocator> {
public:
  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR strNetworkResource, const BSTR strUser, const BSTR strPassword,
                                          const BSTR strLocale, LONG lSecurityFlags, const BSTR strAuthority,
                                          IWbemContext* pCtx, IWbemServices** ppNamespace) override {
    resource = strNetworkResource ? strNetworkResource : L"";
    nullCredentials = !strUser && !strPassword && !strLocale && !strAuthority && !pCtx && lSecurityFlags == 0;
    if (FAILED(result)) {
      *ppNamespace = nullptr;
      return result;
    }
    services->AddRef();
    *ppNamespace = services;
    return S_OK;
  }

  HRESULT result = S_OK;
  IWbemServices* services = nullptr;
  std::wstring resource;
  bool nullCredentials = false;
};

// Watches the COM task allocator (which backs SAFEARRAYs and VARIANT contents) while it
// lives, so a test can prove that everything allocated in that window was freed in it.
class AllocationSpy {
public:
  AllocationSpy() : tracker_(new Tracker) { registered_ = SUCCEEDED(::CoRegisterMallocSpy(tracker_)); }
  ~AllocationSpy() {
    // With allocations still outstanding COM defers the revocation and keeps calling the
    // tracker: it must then outlive the test, so it is deliberately left allocated.
    if (registered_ && FAILED(::CoRevokeMallocSpy())) return;
    delete tracker_;
  }
  AllocationSpy(const AllocationSpy&) = delete;
  AllocationSpy& operator=(const AllocationSpy&) = delete;

  bool Registered() const { return registered_; }
  std::size_t Live() const { return tracker_->live.size(); }
  int Allocations() const { return tracker_->allocations; }

private:
  struct Tracker final : IMallocSpy {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
      if (riid == IID_IUnknown || riid == IID_IMallocSpy) {
        *out = static_cast<IMallocSpy*>(this);
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T cbRequest) override { return cbRequest; }
    void* STDMETHODCALLTYPE PostAlloc(void* pActual) override {
      if (pActual != nullptr) {
        live.insert(pActual);
        ++allocations;
      }
      return pActual;
    }
    void* STDMETHODCALLTYPE PreFree(void* pRequest, BOOL) override {
      live.erase(pRequest);
      return pRequest;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL) override {
      live.erase(pRequest);
      *ppNewRequest = pRequest;
      return cbRequest;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* pActual, BOOL) override { return PostAlloc(pActual); }
    void* STDMETHODCALLTYPE PreGetSize(void* pRequest, BOOL) override { return pRequest; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T cbActual, BOOL) override { return cbActual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* pRequest, BOOL) override { return pRequest; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int fActual) override { return fActual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    std::set<void*> live;
    int allocations = 0;
  };

  Tracker* tracker_;
  bool registered_ = false;
};

}  // namespace orvo::testing
