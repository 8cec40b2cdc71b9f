// The control codes that keywatch sends to fwbridge, the CommandType index each answer is
// cached under, and where the answers and the cache live. Portable: no Windows types.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Codes sent with no answer awaited.
inline constexpr std::uint32_t kCodeStart = 128;      // startup, and after a resume from sleep
inline constexpr std::uint32_t kCodeSwitchOn = 201;   // CommandType32 switch on (wparam 5, 0)
inline constexpr std::uint32_t kCodeSwitchOff = 202;  // CommandType32 switch off (wparam 5, 1)
// Codes whose answer value is dispatched as a button number.
inline constexpr std::uint32_t kCodeBezelButton = 131;
inline constexpr std::uint32_t kCodeHotkey = 132;

// A code whose answer is cached as the Data value "CommandType%02x" of `index`.
struct DataRefresh {
  std::uint32_t code;
  std::uint32_t index;
};

inline constexpr DataRefresh kRefreshAdapterState{145, 15};    // CommandType0f
inline constexpr DataRefresh kRefreshEvent5{134, 5};           // CommandType05
inline constexpr DataRefresh kRefreshOrientationBit{143, 4};   // CommandType04
inline constexpr DataRefresh kRefreshOrientationMask{147, 38}; // CommandType26
inline constexpr DataRefresh kRefreshSwitch32{148, 50};        // CommandType32

// The startup sequence after code 128, in the order the firmware expects.
inline constexpr std::array<DataRefresh, 14> kStartupRefreshes{{
    {140, 1}, {141, 2}, {142, 3}, {143, 4}, {134, 5}, {135, 7}, {136, 8},
    {144, 13}, {137, 14}, {145, 15}, {138, 16}, {139, 27}, {147, 38}, {148, 50},
}};

inline constexpr wchar_t kDataKeyPath[] = L"Software\\Orvotek\\Orvo Jumpdeck\\Data";
inline constexpr wchar_t kAnswerFolder[] = L"C:\\Orvo\\Data";
inline constexpr wchar_t kAnswerFilePath[] = L"C:\\Orvo\\Data\\OutData";
inline constexpr std::size_t kAnswerSize = 4;

// fwbridge answers within milliseconds; 2 s bounds how long a silent service can hold the
// window (and every sender waiting on it) without ever cutting off a slow but live answer.
inline constexpr std::uint32_t kAnswerTimeoutMs = 2000;
// A well-formed answer is 4 bytes; anything past this is a damaged or hostile file.
inline constexpr std::size_t kAnswerByteCap = 4096;

// "CommandType" and the index in lower-case hexadecimal, at least two digits.
std::wstring DataValueName(std::uint32_t index);
