// CkroWmiSmBios driven through fakes of the WMI interfaces: every failing step, the table
// lock, the bounded first wait, and references balanced on every path.
#include <gtest/gtest.h>

#include "smbprobe/test-table-builder.h"
#include "smbprobe/wmi-fakes-win.h"
#include "smbprobe/wmi-smbios-win.h"

namespace orvo {
namespace {

using testing::AllocationSpy;
using testing::FakeClassObject;
using testing::FakeEnumerator;
using testing::FakeLocator;
using testing::FakeServices;

const Cp1252Decoder kCp1252;

// One fake WMI with the real SMBIOS provider's class and a small table.
struct FakeWmi {
  FakeWmi() {
    locator.services = &services;
    services.enumerator = &enumerator;
    enumerator.instance = &instance;
    table = orvo::testing::JoinTable({orvo::testing::Bios("Ver. 1.07", "05/06/2026"),
                                      orvo::testing::System("Jumpdeck 14", "", "SN42", "SKU7"),
                                      orvo::testing::MemoryDevice(8192)});
    instance.SetInt(L"Size", static_cast<LONG>(table.size()));
    instance.SetBytes(L"SMBiosData", table);
    instance.SetByte(L"SmbiosMajorVersion", 3);
    instance.SetByte(L"SmbiosMinorVersion", 4);
  }
  LocatorFactory Factory(HRESULT result = S_OK) {
    return [this, result](IWbemLocator** out) {
      ++factoryCalls;
      if (FAILED(result)) {
        *out = nullptr;
        return result;
      }
      locator.AddRef();
      *out = &locator;
      return S_OK;
    };
  }
  // Every reference the reader took has been given back.
  void ExpectBalanced(const char* what) const {
    EXPECT_EQ(locator.refs, 1) << what << ": locator AddRef " << locator.addRefs << " Release " << locator.releases;
    EXPECT_EQ(services.refs, 1) << what << ": services AddRef " << services.addRefs << " Release " << services.releases;
    EXPECT_EQ(enumerator.refs, 1) << what << ": enumerator AddRef " << enumerator.addRefs << " Release "
                                  << enumerator.releases;
    EXPECT_EQ(instance.refs, 1) << what << ": instance AddRef " << instance.addRefs << " Release "
                                << instance.releases;
  }

  FakeLocator locator;
  FakeServices services;
  FakeEnumerator enumerator;
  FakeClassObject instance;
  std::vector<std::uint8_t> table;
  int factoryCalls = 0;
};

class WmiSmBios : public ::testing::Test {
protected:
  void SetUp() override {
    // OLE Automation caches freed BSTRs unless OANOCACHE is set when it loads; cached strings
    // would look like leaks to the allocation counts below.
    ASSERT_NE(::GetEnvironmentVariableW(L"OANOCACHE", nullptr, 0), 0u) << "run with OANOCACHE=1 (ctest sets it)";
    initialised_ = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  }
  void TearDown() override {
    if (SUCCEEDED(initialised_)) ::CoUninitialize();
  }

private:
  HRESULT initialised_ = E_FAIL;
};

TEST_F(WmiSmBios, FetchesLocksAndReadsTheFirstInstance) {
  FakeWmi wmi;
  AllocationSpy spy;
  ASSERT_TRUE(spy.Registered());
  {
    CkroWmiSmBios smbios(kCp1252, wmi.Factory());
    EXPECT_GT(spy.Allocations(), 0) << "the table copy that Get hands out comes from the COM allocator";
    EXPECT_EQ(wmi.locator.resource, L"\\\\.\\root\\wmi");
    EXPECT_TRUE(wmi.locator.nullCredentials);
    EXPECT_EQ(wmi.services.className, L"MSSmBios_RawSMBiosTables");
    EXPECT_EQ(wmi.services.flags, WBEM_FLAG_SHALLOW);
    EXPECT_FALSE(wmi.services.contextGiven);
    EXPECT_EQ(wmi.enumerator.nextCalls, 1);
    EXPECT_EQ(wmi.enumerator.count, 1u);
    EXPECT_EQ(wmi.enumerator.timeout, kFirstInstanceTimeoutMs) << "the first wait is bounded";
    EXPECT_EQ(wmi.instance.gets,
              (std::vector<std::wstring>{L"Size", L"SMBiosData", L"SmbiosMajorVersion", L"SmbiosMinorVersion"}));
    EXPECT_EQ(wmi.instance.flagsSeen, (std::vector<LONG>(4, 0)));
    EXPECT_FALSE(wmi.instance.typeOrFlavorAsked);

    EXPECT_EQ(smbios.TableSize(), static_cast<std::int32_t>(wmi.table.size()));
    EXPECT_EQ(smbios.MajorVersion(), 3);
    EXPECT_EQ(smbios.MinorVersion(), 4);
    SAFEARRAY* held = smbios.HeldArray();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->cLocks, 1u) << "the table stays locked while the object lives";
    EXPECT_EQ(::SafeArrayDestroy(held), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(smbios.TableData(), held->pvData) << "read in place, not copied";
    ASSERT_NE(smbios.TableData(), nullptr);
    EXPECT_EQ(smbios.TableData()[0], 0) << "first byte: the BIOS Information type";

    char16_t bios[64];
    EXPECT_EQ(smbios.Table().kroGetBiosInfo(64, bios), kFound);
    EXPECT_EQ(std::u16string(bios), u"1.07 - 05/06/2026");
    std::uint16_t memory = 0;
    smbios.Table().kroGetSmbiosTotalMemory(&memory);
    EXPECT_EQ(memory, 8192);

    // While the object lives it holds the locator and the namespace; the enumerator and the
    // instance were let go inside construction.
    EXPECT_EQ(wmi.locator.refs, 2);
    EXPECT_EQ(wmi.services.refs, 2);
    EXPECT_EQ(wmi.enumerator.refs, 1);
    EXPECT_EQ(wmi.instance.refs, 1);
  }
  wmi.ExpectBalanced("full retrieval");
  EXPECT_EQ(spy.Live(), 0u) << "the table (and every variant) freed by destruction; " << spy.Allocations()
                            << " allocations";
}

// Each failing step leaves an object without a table, and releases exactly what it obtained.
TEST_F(WmiSmBios, EveryFailingStepLeavesNoTableAndBalancedReferences) {
  struct Row {
    const char* what;
    void (*breakIt)(FakeWmi&);
    HRESULT factoryResult;
    std::int32_t expectedSize;
    std::vector<std::wstring> expectedGets;
  };
  const Row rows[] = {
      {"locator not created", [](FakeWmi&) {}, REGDB_E_CLASSNOTREG, 0, {}},
      {"ConnectServer fails", [](FakeWmi& w) { w.locator.result = WBEM_E_INVALID_NAMESPACE; }, S_OK, 0, {}},
      {"CreateInstanceEnum fails", [](FakeWmi& w) { w.services.result = WBEM_E_INVALID_CLASS; }, S_OK, 0, {}},
      {"class has no instance", [](FakeWmi& w) { w.enumerator.instance = nullptr; }, S_OK, 0, {}},
      {"Size missing", [](FakeWmi& w) { w.instance.Remove(L"Size"); }, S_OK, 0, {L"Size"}},
      {"SMBiosData missing", [](FakeWmi& w) { w.instance.Remove(L"SMBiosData"); }, S_OK, -1, {L"Size", L"SMBiosData"}},
      {"SMBiosData not an array", [](FakeWmi& w) { w.instance.SetInt(L"SMBiosData", 1234); }, S_OK, -1,
       {L"Size", L"SMBiosData"}},
      {"array cannot be locked", [](FakeWmi& w) { w.instance.SetNullArray(L"SMBiosData"); }, S_OK, -1,
       {L"Size", L"SMBiosData"}},
  };
  for (const Row& row : rows) {
    FakeWmi wmi;
    row.breakIt(wmi);
    AllocationSpy spy;
    {
      CkroWmiSmBios smbios(kCp1252, wmi.Factory(row.factoryResult));
      EXPECT_EQ(wmi.factoryCalls, 1) << row.what;
      EXPECT_EQ(smbios.TableData(), nullptr) << row.what;
      const std::int32_t expectedSize = row.expectedSize < 0 ? static_cast<std::int32_t>(wmi.table.size()) : 0;
      EXPECT_EQ(smbios.TableSize(), expectedSize) << row.what;
      EXPECT_EQ(wmi.instance.gets, row.expectedGets) << row.what;
      EXPECT_TRUE(smbios.Table().kroFindStructure(0).empty()) << row.what;
      EXPECT_TRUE(smbios.Table().kroFindStructure(127).empty()) << row.what;
      EXPECT_EQ(smbios.MajorVersion(), 0) << row.what;
    }
    wmi.ExpectBalanced(row.what);
    EXPECT_EQ(spy.Live(), 0u) << row.what << ": " << spy.Allocations() << " allocations";
  }
}

TEST_F(WmiSmBios, MissingVersionsKeepTheTable) {
  FakeWmi wmi;
  wmi.instance.Remove(L"SmbiosMajorVersion");
  wmi.instance.Remove(L"SmbiosMinorVersion");
  AllocationSpy spy;
  {
    CkroWmiSmBios smbios(kCp1252, wmi.Factory());
    EXPECT_NE(smbios.TableData(), nullptr);
    EXPECT_EQ(smbios.MajorVersion(), 0);
    EXPECT_EQ(smbios.MinorVersion(), 0);
    EXPECT_EQ(smbios.Table().kroFindStructure(1).size(), 1u);
  }
  wmi.ExpectBalanced("versions missing");
  EXPECT_EQ(spy.Live(), 0u) << spy.Allocations() << " allocations";
}

TEST_F(WmiSmBios, SizeIsBoundedByTheArray) {
  struct Row {
    LONG size;
    std::int32_t expected;
  };
  FakeWmi probe;
  const auto full = static_cast<std::int32_t>(probe.table.size());
  const Row rows[] = {{full + 4096, full}, {full - 6, full - 6}, {-1, 0}, {0, 0}};
  for (const Row& row : rows) {
    FakeWmi wmi;
    wmi.instance.SetInt(L"Size", row.size);
    {
      CkroWmiSmBios smbios(kCp1252, wmi.Factory());
      EXPECT_EQ(smbios.TableSize(), row.expected) << row.size;
      // Cut short, the last structures are dropped; never read past the array.
      const std::size_t structures = smbios.Table().GetAllStructures().size();
      EXPECT_EQ(structures, row.expected == full ? 4u : row.expected > 0 ? 3u : 0u) << row.size;
    }
    wmi.ExpectBalanced("size bound");
  }
}

}  // namespace
}  // namespace orvo
