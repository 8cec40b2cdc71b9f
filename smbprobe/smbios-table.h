// Reads a raw SMBIOS structure table in place: the structure index, string lookup and the ten
// getters that fill the system-information record. Works on bytes it does not own (the caller
// keeps them alive and unchanged for the object's life) and never reads outside them, however
// damaged the table. Single-threaded: one object belongs to one caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "smbprobe/ansi-decoder.h"
#include "smbprobe/sysinfo-record.h"

namespace orvo {

// Getter results.
inline constexpr std::uint32_t kFound = 0;
inline constexpr std::uint32_t kInvalidArgument = 1;
inline constexpr std::uint32_t kStructureNotUnique = 2;  // none, or several
inline constexpr std::uint32_t kValueMissing = 3;

// One structure. The formatted area [pHeader, pHeader + pHeader[1]) always lies inside the
// table, with a length of at least 4: structures that would not fit are never indexed.
struct StructureRecord {
  const std::uint8_t* pHeader = nullptr;
  std::vector<std::string> Strings;  // non-empty strings in order, each at most 128 bytes
};

// Structure type to records, in table order within a type.
using StructureIndex = std::multimap<std::uint16_t, StructureRecord>;

class SmBiosTable {
public:
  // A null `data` or a `size` of 0 or below gives a table in which every lookup finds nothing.
  SmBiosTable(const std::uint8_t* data, std::int32_t size, const AnsiDecoder& decoder);

  // Walks the table into the index. A structure that runs past the end (formatted area or
  // string set), has a length below 4 or lacks its closing double zero ends the walk: it and
  // everything after it are dropped.
  const StructureIndex& GetAllStructures();
  // Copies of the records of one type in table order; builds the index on first use.
  std::vector<StructureRecord> kroFindStructure(std::uint16_t type);
  // String `number` (from 1) of `record`, converted, cut to capacity - 1 characters, then
  // trimmed of spaces. Returns the length stored; 0 (buffer untouched) for a number of 0 or
  // beyond the record's strings, a null buffer or a capacity of 0.
  std::uint16_t kroGetString(char16_t* buffer, std::uint32_t capacity, const StructureRecord& record,
                             std::uint8_t number) const;

  // Text getters: capacity in characters, terminator included.
  std::uint32_t kroGetProductname(std::uint32_t capacity, char16_t* buffer);
  std::uint32_t kroGetSerialNumber(std::uint32_t capacity, char16_t* buffer);
  std::uint32_t kroGetSkuNumber(std::uint32_t capacity, char16_t* buffer);
  std::uint32_t kroGetBoardVersion(std::uint32_t capacity, char16_t* buffer);
  std::uint32_t kroGetProcStr(std::uint32_t capacity, char16_t* buffer);
  std::uint32_t kroGetBiosInfo(std::uint32_t capacity, char16_t* buffer);
  // Number getters; a null destination gives kInvalidArgument and writes nothing.
  std::uint32_t kroGetProcessorMaxSpeed(std::uint16_t* speed);
  std::uint32_t kroGetSmbiosTotalMemory(std::uint16_t* total);
  std::uint32_t kroGetTotalUmaVideoSize(std::uint16_t* lpUmaVideoSize);
  std::uint32_t kroGetPlatformCode(PlatformCodeBlock* block);

  // Empties the index; the owner calls it before it lets go of the bytes.
  void Clear() { m_Structures.clear(); }
  // How many times the table was walked (the index is built once per object).
  unsigned WalkCount() const { return m_nWalks; }

private:
  // A field of the formatted area or beyond it, when it lies inside the table.
  std::optional<std::uint8_t> ByteAt(const StructureRecord& record, std::size_t offset) const;
  std::optional<std::uint16_t> WordAt(const StructureRecord& record, std::size_t offset) const;
  std::uint32_t GetUniqueString(std::uint16_t type, std::size_t offset, std::uint32_t capacity,
                                char16_t* buffer);

  const std::uint8_t* m_pTableData;
  std::int32_t m_nTableSize;
  const AnsiDecoder& m_decoder;
  StructureIndex m_Structures;
  unsigned m_nWalks = 0;
};

}  // namespace orvo
