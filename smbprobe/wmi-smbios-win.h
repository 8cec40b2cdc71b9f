// CkroWmiSmBios: one copy of the machine's raw SMBIOS table, fetched from WMI
// (root\wmi, MSSmBios_RawSMBiosTables) and kept locked in place for the object's life, with the
// portable reader over it. COM must be initialised on the thread before construction and the
// object destroyed before COM is uninitialised. Construction never fails outwardly: any failed
// step leaves an object without a table, in which every lookup finds nothing.
#pragma once

#include <windows.h>
#include <wbemidl.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "common/com-owner-win.h"
#include "smbprobe/smbios-table.h"

namespace orvo {

// Creates the WMI locator. The product uses CoCreateInstance; tests hand in fakes.
using LocatorFactory = std::function<HRESULT(IWbemLocator** locator)>;
HRESULT CreateWbemLocator(IWbemLocator** locator);

// The first Next waits this long for the provider's instance. Generous: the SMBIOS provider
// answers in well under a second, but its host may be starting on a busy machine. Bounded so
// that a stuck provider cannot hang the caller's viewer for ever.
inline constexpr long kFirstInstanceTimeoutMs = 60'000;

class CkroWmiSmBios {
public:
  // `decoder` must outlive the object; the getters convert strings through it.
  explicit CkroWmiSmBios(const AnsiDecoder& decoder, const LocatorFactory& createLocator = CreateWbemLocator,
                         long firstInstanceTimeoutMs = kFirstInstanceTimeoutMs);
  virtual ~CkroWmiSmBios();
  CkroWmiSmBios(const CkroWmiSmBios&) = delete;
  CkroWmiSmBios& operator=(const CkroWmiSmBios&) = delete;

  // The index and getters over the locked table.
  SmBiosTable& Table() { return *m_Structures; }

  std::int32_t TableSize() const { return m_nTableSize; }
  const std::uint8_t* TableData() const { return m_pTableData; }
  std::uint8_t MajorVersion() const { return m_bMajorVersion; }
  std::uint8_t MinorVersion() const { return m_bMinorVersion; }
  // The array held in m_var, or null.
  SAFEARRAY* HeldArray() const;

private:
  void kroWmiConnect(const LocatorFactory& createLocator);
  // Returns E_FAIL before the first WMI call, then the last WMI call's result.
  HRESULT kroGetRawSMBiosTables(long firstInstanceTimeoutMs);
  // Locks the array in m_var and bounds the table by its size in bytes.
  void LockTable();

  ComOwner<IWbemServices> m_pNamespace;
  ComOwner<IWbemLocator> m_pLocator;
  std::uint8_t m_bMajorVersion = 0;
  std::uint8_t m_bMinorVersion = 0;
  std::int32_t m_nTableSize = 0;
  std::uint8_t* m_pTableData = nullptr;
  VARIANT m_var;
  std::optional<SmBiosTable> m_Structures;
};

}  // namespace orvo
