// Connection to root\wmi and retrieval of the first MSSmBios_RawSMBiosTables instance.
#include "smbprobe/wmi-smbios-win.h"

#include <algorithm>
#include <cstdint>

namespace orvo {
namespace {

// Converts the variant in place; false when it holds no value of that type.
template <VARTYPE Type>
bool ChangeType(VARIANT* value) {
  return ::VariantChangeType(value, value, 0, Type) == S_OK && value->vt == Type;
}

}  // namespace

HRESULT CreateWbemLocator(IWbemLocator** locator) {
  return ::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                            reinterpret_cast<void**>(locator));
}

CkroWmiSmBios::CkroWmiSmBios(const AnsiDecoder& decoder, const LocatorFactory& createLocator,
                             long firstInstanceTimeoutMs) {
  ::VariantInit(&m_var);
  kroWmiConnect(createLocator);
  if (m_pNamespace) kroGetRawSMBiosTables(firstInstanceTimeoutMs);
  m_Structures.emplace(m_pTableData, m_pTableData ? m_nTableSize : 0, decoder);
}

CkroWmiSmBios::~CkroWmiSmBios() {
  if (m_pTableData != nullptr) ::SafeArrayUnaccessData(m_var.parray);
  m_pTableData = nullptr;
  m_Structures.reset();
  ::VariantClear(&m_var);
  m_pLocator.reset();
  m_pNamespace.reset();
}

SAFEARRAY* CkroWmiSmBios::HeldArray() const {
  return (m_var.vt & VT_ARRAY) != 0 && (m_var.vt & VT_BYREF) == 0 ? m_var.parray : nullptr;
}

void CkroWmiSmBios::kroWmiConnect(const LocatorFactory& createLocator) {
  if (FAILED(createLocator(m_pLocator.put())) || !m_pLocator) {
    m_pLocator.Forget();
    return;
  }
  const ScopedBstr resource(L"\\\\.\\root\\wmi");
  if (!resource) return;
  if (FAILED(m_pLocator->ConnectServer(resource.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                       m_pNamespace.put()))) {
    m_pNamespace.Forget();
    return;
  }
  // Its result does not matter: the retrieval is tried either way.
  ::CoSetProxyBlanket(m_pNamespace.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

HRESULT CkroWmiSmBios::kroGetRawSMBiosTables(long firstInstanceTimeoutMs) {
  ComOwner<IEnumWbemClassObject> instances;
  HRESULT hr = E_FAIL;
  {
    const ScopedBstr className(L"MSSmBios_RawSMBiosTables");
    if (!className) return E_OUTOFMEMORY;
    hr = m_pNamespace->CreateInstanceEnum(className.get(), WBEM_FLAG_SHALLOW, nullptr, instances.put());
  }
  if (FAILED(hr) || !instances) {
    instances.Forget();
    return hr;
  }

  ComOwner<IWbemClassObject> instance;
  ULONG returned = 0;
  hr = instances->Next(firstInstanceTimeoutMs, 1, instance.put(), &returned);
  // The count says whether a reference came back, whatever the result code.
  if (returned == 0) instance.Forget();
  if (FAILED(hr) || !instance) return hr;

  ScopedVariant value;
  hr = instance->Get(L"Size", 0, value.get(), nullptr, nullptr);
  if (FAILED(hr)) {
    value.Forget();
    return hr;
  }
  if (!ChangeType<VT_I4>(value.get())) return hr;
  m_nTableSize = value.get()->lVal;

  ::VariantClear(&m_var);
  hr = instance->Get(L"SMBiosData", 0, &m_var, nullptr, nullptr);
  if (FAILED(hr)) {
    ::VariantInit(&m_var);
    return hr;
  }
  if ((m_var.vt & VT_ARRAY) == 0) return hr;
  LockTable();
  if (m_pTableData == nullptr) return hr;

  hr = instance->Get(L"SmbiosMajorVersion", 0, value.put(), nullptr, nullptr);
  if (FAILED(hr)) value.Forget();
  if (SUCCEEDED(hr) && ChangeType<VT_UI1>(value.get())) m_bMajorVersion = value.get()->bVal;
  hr = instance->Get(L"SmbiosMinorVersion", 0, value.put(), nullptr, nullptr);
  if (FAILED(hr)) value.Forget();
  if (SUCCEEDED(hr) && ChangeType<VT_UI1>(value.get())) m_bMinorVersion = value.get()->bVal;
  return hr;
}

void CkroWmiSmBios::LockTable() {
  SAFEARRAY* array = HeldArray();
  if (array == nullptr || ::SafeArrayGetDim(array) != 1) return;
  LONG lower = 0;
  LONG upper = -1;
  if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper))) return;
  // "Size" may claim more than the array holds; the array's own byte count is the hard limit.
  const LONGLONG bytes = (LONGLONG{upper} - lower + 1) * ::SafeArrayGetElemsize(array);
  void* data = nullptr;
  if (FAILED(::SafeArrayAccessData(array, &data)) || data == nullptr) return;
  m_pTableData = static_cast<std::uint8_t*>(data);
  m_nTableSize = static_cast<std::int32_t>(std::clamp<LONGLONG>(std::min<LONGLONG>(m_nTableSize, bytes), 0, INT32_MAX));
}

}  // namespace orvo
