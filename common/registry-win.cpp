#include "common/registry-win.h"

#include <cstring>
#include <cwchar>

namespace orvo {

ScopedKey OpenKey(HKEY root, const std::wstring& path, REGSAM access) {
  ScopedKey key;
  if (::RegOpenKeyExW(root, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
    key.release();
  }
  return key;
}

ScopedKey CreateKey(HKEY root, const std::wstring& path, REGSAM access) {
  ScopedKey key;
  if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS) {
    key.release();
  }
  return key;
}

namespace {

// Size first, then the data; retried when the value grows between the two calls.
std::optional<std::vector<std::uint8_t>> ReadTyped(HKEY key, const std::wstring& name, DWORD flags) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    LONG rc = ::RegGetValueW(key, nullptr, name.c_str(), flags, nullptr, nullptr, &size);
    if (rc != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::vector<std::uint8_t> data(size);
    if (size == 0) {
      return data;
    }
    rc = ::RegGetValueW(key, nullptr, name.c_str(), flags, nullptr, data.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      continue;
    }
    if (rc != ERROR_SUCCESS) {
      return std::nullopt;
    }
    data.resize(size);
    return data;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadBinaryValue(HKEY key, const std::wstring& name) {
  return ReadTyped(key, name, RRF_RT_REG_BINARY);
}

std::optional<std::wstring> ReadStringValue(HKEY key, const std::wstring& name) {
  auto bytes = ReadTyped(key, name, RRF_RT_REG_SZ);
  if (!bytes) {
    return std::nullopt;
  }
  std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) {
    std::memcpy(text.data(), bytes->data(), text.size() * sizeof(wchar_t));
  }
  // RegGetValueW guarantees a terminator; keep only what precedes the first one.
  text.resize(std::wcslen(text.c_str()));
  return text;
}

std::optional<std::uint32_t> ReadDwordValue(HKEY key, const std::wstring& name) {
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (::RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

bool WriteBinaryValue(HKEY key, const std::wstring& name, const std::uint8_t* data, std::size_t size) {
  return ::RegSetValueExW(key, name.c_str(), 0, REG_BINARY, data, static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool WriteStringValue(HKEY key, const std::wstring& name, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
         ERROR_SUCCESS;
}

bool WriteDwordValue(HKEY key, const std::wstring& name, std::uint32_t value) {
  const DWORD data = value;
  return ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
         ERROR_SUCCESS;
}

bool DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view) {
  ScopedKey key = OpenKey(root, path, KEY_ALL_ACCESS | view);
  if (!key) {
    return true;
  }
  ::RegDeleteTreeW(key.get(), nullptr);
  key.reset();
  const LONG rc = ::RegDeleteKeyExW(root, path.c_str(), view, 0);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace orvo
