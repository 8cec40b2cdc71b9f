// Registry reads and writes with the type checked and the size asked first, so a value of
// any length is read whole or not at all. Failures come back as std::nullopt / false.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/scoped-handle.h"

namespace orvo {

// Opens root\path with `access`; an empty owner when the key cannot be opened.
ScopedKey OpenKey(HKEY root, const std::wstring& path, REGSAM access);
// Creates (with missing parents) or opens root\path for writing.
ScopedKey CreateKey(HKEY root, const std::wstring& path, REGSAM access = KEY_READ | KEY_SET_VALUE);

// REG_BINARY data only (RRF_RT_REG_BINARY); an empty vector for an empty value.
std::optional<std::vector<std::uint8_t>> ReadBinaryValue(HKEY key, const std::wstring& name);
// REG_SZ only (RRF_RT_REG_SZ), without the terminator.
std::optional<std::wstring> ReadStringValue(HKEY key, const std::wstring& name);
// REG_DWORD only.
std::optional<std::uint32_t> ReadDwordValue(HKEY key, const std::wstring& name);

bool WriteBinaryValue(HKEY key, const std::wstring& name, const std::uint8_t* data, std::size_t size);
bool WriteStringValue(HKEY key, const std::wstring& name, const std::wstring& value);
bool WriteDwordValue(HKEY key, const std::wstring& name, std::uint32_t value);

// Removes root\path and everything below it; true when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view = 0);

}  // namespace orvo
