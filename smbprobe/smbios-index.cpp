// The structure walk and the string lookup of SmBiosTable.
#include <algorithm>

#include "smbprobe/smbios-table.h"
#include "smbprobe/text-scan.h"

namespace orvo {
namespace {

constexpr std::size_t kMaxStringBytes = 128;
constexpr std::uint8_t kMinStructureLength = 4;

}  // namespace

SmBiosTable::SmBiosTable(const std::uint8_t* data, std::int32_t size, const AnsiDecoder& decoder)
    : m_pTableData(data), m_nTableSize(data ? size : 0), m_decoder(decoder) {}

const StructureIndex& SmBiosTable::GetAllStructures() {
  ++m_nWalks;
  if (m_nTableSize <= 0) return m_Structures;
  const std::uint8_t* const table = m_pTableData;
  const auto size = static_cast<std::size_t>(m_nTableSize);
  std::size_t offset = 0;
  while (offset < size) {
    if (size - offset < 2) return m_Structures;
    const std::uint8_t length = table[offset + 1];
    if (length < kMinStructureLength || length > size - offset) return m_Structures;

    StructureRecord record{table + offset, {}};
    std::string collected;
    std::size_t pos = offset + length;
    bool closed = false;
    while (pos < size) {
      if (table[pos] != 0) {
        if (collected.size() < kMaxStringBytes) collected.push_back(static_cast<char>(table[pos]));
        ++pos;
        continue;
      }
      if (!collected.empty()) {
        record.Strings.push_back(std::move(collected));
        collected.clear();
      }
      if (pos + 1 >= size) break;
      if (table[pos + 1] == 0) {
        closed = true;
        pos += 2;
        break;
      }
      ++pos;
    }
    // A set without its closing double zero: the table was cut short here.
    if (!closed) return m_Structures;
    m_Structures.emplace(table[offset], std::move(record));
    offset = pos;
  }
  return m_Structures;
}

std::vector<StructureRecord> SmBiosTable::kroFindStructure(std::uint16_t type) {
  if (m_Structures.empty()) GetAllStructures();
  std::vector<StructureRecord> found;
  const auto [first, last] = m_Structures.equal_range(type);
  for (auto it = first; it != last; ++it) found.push_back(it->second);
  return found;
}

std::uint16_t SmBiosTable::kroGetString(char16_t* buffer, std::uint32_t capacity, const StructureRecord& record,
                                        std::uint8_t number) const {
  if (number == 0 || number > record.Strings.size() || buffer == nullptr || capacity == 0) return 0;
  const std::u16string text = m_decoder.Decode(record.Strings[number - 1]);
  const std::size_t kept = std::min<std::size_t>(capacity - 1, text.size());
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(kept), buffer);
  buffer[kept] = u'\0';
  return static_cast<std::uint16_t>(TrimSpaces(buffer, kept));
}

std::optional<std::uint8_t> SmBiosTable::ByteAt(const StructureRecord& record, std::size_t offset) const {
  const auto start = static_cast<std::size_t>(record.pHeader - m_pTableData);
  if (offset >= static_cast<std::size_t>(m_nTableSize) - start) return std::nullopt;
  return record.pHeader[offset];
}

std::optional<std::uint16_t> SmBiosTable::WordAt(const StructureRecord& record, std::size_t offset) const {
  const auto low = ByteAt(record, offset);
  const auto high = ByteAt(record, offset + 1);
  if (!low || !high) return std::nullopt;
  return static_cast<std::uint16_t>(*low | (*high << 8));
}

}  // namespace orvo
