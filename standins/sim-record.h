// Appends one line to a stand-in's record file. Each line goes out in a single write with
// FILE_APPEND_DATA, so records of concurrent processes do not interleave within a line.
#pragma once

#include <cstdint>
#include <string>

namespace orvosim {

bool AppendRecord(const wchar_t* path, const std::wstring& line);
// UTC time in 100 ns units; comparable across processes.
std::uint64_t PreciseNow();
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace orvosim
