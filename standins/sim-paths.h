// Where the simulated machine keeps its configuration and its records. Shared by the
// stand-ins, the sim tools and the tests, so all of them agree without passing paths around.
#pragma once

namespace orvosim {

inline constexpr wchar_t kSimFolder[] = L"C:\\OrvoSim";
inline constexpr wchar_t kFwbridgeBinary[] = L"C:\\OrvoSim\\bin\\fwbridge.exe";
inline constexpr wchar_t kFwbridgeServiceName[] = L"fwbridge";

// Records, one line per event, appended by the stand-ins.
inline constexpr wchar_t kReceivedLog[] = L"C:\\OrvoSim\\fwbridge-received.log";  // "<code>"
inline constexpr wchar_t kStartedLog[] = L"C:\\OrvoSim\\started.log";    // "<time>\t<parent pid>\t<image>\t<cmdline>"
inline constexpr wchar_t kPadlinkLog[] = L"C:\\OrvoSim\\padlink.log";    // "<time>\t<pid>\tstart|stop"
inline constexpr wchar_t kTabtipLog[] = L"C:\\OrvoSim\\tabtip.log";      // "<time>\t<pid>\tshown|SC_CLOSE ..."

// fwbridge's per-code scenario: HKLM\<kFwbridgeConfigKey>\<code in decimal>, with the values
//   Answer (REG_BINARY)  the answer bytes (default: the plain machine's, see fwbridge.cpp)
//   Repeat (REG_DWORD)   write Answer this many times over (a large file)
//   DelayMs (REG_DWORD)  wait before answering
//   NoAnswer (REG_DWORD) non-zero: write no answer file at all
//   HoldMs (REG_DWORD)   write half, keep the file open for writing this long, then the rest
// Always opened in the 64-bit view, so 32-bit and 64-bit tools see the same key.
inline constexpr wchar_t kFwbridgeConfigKey[] = L"Software\\OrvoSim\\fwbridge";
// padlink records its calls only while HKCU\<kPadlinkConfigKey> has "Record" = 1.
inline constexpr wchar_t kPadlinkConfigKey[] = L"Software\\OrvoSim\\padlink";

inline constexpr wchar_t kAnswerFolder[] = L"C:\\Orvo\\Data";
inline constexpr wchar_t kAnswerFile[] = L"C:\\Orvo\\Data\\OutData";

}  // namespace orvosim
