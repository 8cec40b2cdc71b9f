// The installed smbprobe.dll as an outside 32-bit viewer uses it: bound by name with
// GetProcAddress, called through a stdcall pointer, given records filled with a byte pattern.
// Wine's WMI offers no SMBIOS table here, so the record shows the "nothing found" shape.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/scoped-handle.h"
#include "smbprobe/ansi-decoder-win.h"
#include "smbprobe/wmi-smbios-win.h"

// Calls a one-argument function and reports how far the stack pointer moved across the call:
// 0 when the callee removed its argument (stdcall), -4 when it left it (cdecl). The stack is
// restored either way, so a wrong convention is reported instead of crashing the test.
extern "C" std::uint32_t CallMeasuringStack(void* function, void* argument);
asm(R"(
  .text
  .globl _CallMeasuringStack
_CallMeasuringStack:
  pushl %esi
  pushl %edi
  movl 12(%esp), %eax
  movl 16(%esp), %ecx
  movl %esp, %esi
  pushl %ecx
  call *%eax
  movl %esp, %eax
  subl %esi, %eax
  movl %esi, %esp
  popl %edi
  popl %esi
  ret
)");

namespace {

const std::wstring kProduct = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\";
constexpr std::size_t kRecordSize = 1332;
constexpr std::size_t kGuard = 64;
using GetBiosInitialize = void(WINAPI*)(void* lpStruct);

class SmbprobeDll : public ::testing::Test {
protected:
  void SetUp() override {
    dll_ = orvo::ScopedModule(::LoadLibraryW((kProduct + L"smbprobe.dll").c_str()));
    ASSERT_TRUE(dll_) << "LoadLibrary failed: " << ::GetLastError();
    raw_ = reinterpret_cast<void*>(::GetProcAddress(dll_.get(), "kroGetBIOSInitialize"));
    ASSERT_NE(raw_, nullptr) << "GetProcAddress failed: " << ::GetLastError();
    entry_ = reinterpret_cast<GetBiosInitialize>(raw_);
  }

  // A record and guard bytes after it, all holding `pattern`, filled by one call.
  std::vector<std::uint8_t> Fill(std::uint8_t pattern) const {
    std::vector<std::uint8_t> bytes(kRecordSize + kGuard, pattern);
    entry_(bytes.data());
    return bytes;
  }

  orvo::ScopedModule dll_;
  void* raw_ = nullptr;
  GetBiosInitialize entry_ = nullptr;
};

// Whether this machine's WMI hands out an SMBIOS table. Wine's does not; a real Windows
// machine's does, and then only the never-written ranges have a fixed expected content.
bool MachineHasSmbiosTable() {
  bool has = false;
  std::thread([&has] {
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      const orvo::ThreadAnsiDecoder decoder;
      const orvo::CkroWmiSmBios smbios(decoder);
      has = smbios.TableData() != nullptr;
    }
    if (SUCCEEDED(hr)) ::CoUninitialize();
  }).join();
  return has;
}

// Runs `body` on a fresh thread, so each check starts with COM uninitialised.
template <typename Body>
void OnFreshThread(Body body) {
  std::thread(body).join();
}

TEST_F(SmbprobeDll, BindsByPlainNameOnly) {
  for (const char* decorated : {"_kroGetBIOSInitialize@4", "kroGetBIOSInitialize@4", "_kroGetBIOSInitialize"}) {
    EXPECT_EQ(::GetProcAddress(dll_.get(), decorated), nullptr) << decorated;
  }
  EXPECT_EQ(::GetProcAddress(dll_.get(), MAKEINTRESOURCEA(1)), raw_) << "the one export is ordinal 1";
  EXPECT_EQ(::GetProcAddress(dll_.get(), MAKEINTRESOURCEA(2)), nullptr);
}

void WINAPI LocalStdcall(void*) {}
void __cdecl LocalCdecl(void*) {}

TEST_F(SmbprobeDll, StdcallPointerKeepsTheStackBalanced) {
  // The probe tells the two conventions apart.
  ASSERT_EQ(static_cast<std::int32_t>(CallMeasuringStack(reinterpret_cast<void*>(&LocalStdcall), nullptr)), 0);
  ASSERT_EQ(static_cast<std::int32_t>(CallMeasuringStack(reinterpret_cast<void*>(&LocalCdecl), nullptr)), -4);
  std::vector<std::uint8_t> record(kRecordSize, 0);
  const auto moved = static_cast<std::int32_t>(CallMeasuringStack(raw_, record.data()));
  EXPECT_EQ(moved, 0) << "the callee must remove its 4-byte argument; stack moved by " << moved;
  const auto movedNull = static_cast<std::int32_t>(CallMeasuringStack(raw_, nullptr));
  EXPECT_EQ(movedNull, 0) << "null record: stack moved by " << movedNull;
}

TEST_F(SmbprobeDll, WithoutATableOnlySizesAndPlatformCodeAreZeroed) {
  const bool hasTable = MachineHasSmbiosTable();
  if (hasTable) std::printf("note: this machine has an SMBIOS table; checking the never-written ranges only\n");
  for (std::uint8_t pattern : {0xA5, 0x5A, 0xFF}) {
    const auto bytes = Fill(pattern);
    int wrong = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const bool neverWritten = i < 4 || (i >= 132 && i < 388) || (i >= 516 && i < 644) || (i >= 906 && i < 924) ||
                                i >= kRecordSize;
      if (hasTable && !neverWritten) continue;
      const bool zeroed = (i >= 644 && i < 648) || (i >= 1084 && i < 1204);
      const std::uint8_t expected = zeroed ? 0 : pattern;
      if (bytes[i] != expected && ++wrong <= 8) {
        ADD_FAILURE() << "byte " << i << " is 0x" << std::hex << int{bytes[i]} << ", expected 0x" << int{expected};
      }
    }
    EXPECT_EQ(wrong, 0) << "pattern 0x" << std::hex << int{pattern};
  }
}

TEST_F(SmbprobeDll, RepeatedAndConcurrentCallsGiveIdenticalRecords) {
  const auto first = Fill(0);
  EXPECT_EQ(Fill(0), first);
  std::array<std::vector<std::uint8_t>, 4> results;
  std::vector<std::thread> threads;
  for (auto& result : results) {
    threads.emplace_back([this, &result] { result = Fill(0); });
  }
  for (auto& t : threads) t.join();
  for (const auto& result : results) EXPECT_EQ(result, first);
}

TEST_F(SmbprobeDll, NullRecordLeavesComUntouched) {
  OnFreshThread([this] {
    entry_(nullptr);
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    EXPECT_EQ(::CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED) << "COM was initialised";
    // Still free to join the multithreaded apartment: nothing was left initialised.
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(hr, S_OK) << std::hex << hr;
    if (SUCCEEDED(hr)) ::CoUninitialize();
  });
}

TEST_F(SmbprobeDll, CallBalancesItsOwnComInitialisation) {
  OnFreshThread([this] {
    Fill(0);
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    EXPECT_EQ(::CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED) << "initialised COM left behind";
  });
}

// A caller already in an apartment stays in it, with its own initialisation intact: one
// uninitialise afterwards balances it, so the call took none of it.
TEST_F(SmbprobeDll, CallerKeepsItsApartment) {
  struct Row {
    const char* what;
    DWORD init;
    bool multithreaded;
  };
  const Row rows[] = {{"multithreaded", COINIT_MULTITHREADED, true}, {"single-threaded", COINIT_APARTMENTTHREADED, false}};
  for (const Row& row : rows) {
    OnFreshThread([this, &row] {
      ASSERT_EQ(::CoInitializeEx(nullptr, row.init), S_OK) << row.what;
      Fill(0);
      APTTYPE type = row.multithreaded ? APTTYPE_STA : APTTYPE_MTA;
      APTTYPEQUALIFIER qualifier;
      const HRESULT hr = ::CoGetApartmentType(&type, &qualifier);
      EXPECT_EQ(hr, S_OK) << row.what << ": 0x" << std::hex << hr;
      const bool multithreaded = type == APTTYPE_MTA;
      EXPECT_EQ(multithreaded, row.multithreaded) << row.what << ": apartment type " << type;
      ::CoUninitialize();
      EXPECT_EQ(::CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED) << row.what;
    });
  }
}

// Runs the installed viewer and returns what it printed.
std::string RunViewer(const std::wstring& arguments, DWORD* exitCode) {
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0)) return "<no pipe>";
  orvo::ScopedHandle reader(readEnd), writer(writeEnd);
  ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si = {sizeof(si)};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writer.get();
  si.hStdError = writer.get();
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi = {};
  std::wstring commandLine = L"\"" + kProduct + L"smbview.exe\" " + arguments;
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                        &pi)) {
    return "<not started: " + std::to_string(::GetLastError()) + ">";
  }
  orvo::ScopedHandle process(pi.hProcess), thread(pi.hThread);
  writer.reset();
  std::string out;
  char chunk[1024];
  DWORD read = 0;
  while (::ReadFile(reader.get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) out.append(chunk, read);
  ::WaitForSingleObject(process.get(), 30000);
  ::GetExitCodeProcess(process.get(), exitCode);
  return out;
}

TEST(SmbprobeViewer, PrintsTheRecordAsTextAndJson) {
  // Without a table (Wine) the values are known; with one, only the shape is.
  const bool hasTable = MachineHasSmbiosTable();
  DWORD code = 99;
  const std::string json = RunViewer(L"--json", &code);
  EXPECT_EQ(code, 0u) << json;
  const std::vector<std::string> expected =
      hasTable ? std::vector<std::string>{"\"wTotalMemory\": ", "\"szBiosVersion\": \"", "\"PlatformCode\": {"}
               : std::vector<std::string>{"\"wTotalMemory\": 0,", "\"wUmaVideoSize\": 0,", "\"szProductName2\": \"\",",
                                          "\"PlatformCode\": {\"szCode\": \"\""};
  for (const std::string& line : expected) EXPECT_NE(json.find(line), std::string::npos) << line << " in:\n" << json;
  const std::string text = RunViewer(L"", &code);
  EXPECT_EQ(code, 0u) << text;
  EXPECT_NE(text.find(hasTable ? "Installed memory:       " : "Installed memory:       0 MB"), std::string::npos) << text;
  RunViewer(L"--bogus", &code);
  EXPECT_EQ(code, 2u);
}

}  // namespace
