// Text and JSON renderings of SysInfoRecord, shared by the Windows and native viewers.
#include "smbprobe/record-format.h"

#include <cstdio>
#include <string_view>

namespace orvo {
namespace {

template <std::size_t N>
std::u16string_view Field(const char16_t (&text)[N]) {
  std::size_t n = 0;
  while (n < N && text[n] != u'\0') ++n;
  return {text, n};
}

void AppendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", b);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

struct Line {
  const char* label;
  std::string value;
};

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      AppendCodePoint(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c < 0xE000) {
      AppendCodePoint(out, 0xFFFD);
    } else {
      AppendCodePoint(out, c);
    }
  }
  return out;
}

std::string FormatRecordText(const SysInfoRecord& r) {
  const PlatformCodeBlock& p = r.PlatformCode;
  const Line lines[] = {
      {"Product name", ToUtf8(Field(r.szProductName2))},
      {"Serial number", ToUtf8(Field(r.szSerialNumber))},
      {"SKU number", ToUtf8(Field(r.szSkuNumber))},
      {"BIOS", ToUtf8(Field(r.szBiosVersion))},
      {"Board version", ToUtf8(Field(r.szBoardVersion))},
      {"Processor", ToUtf8(Field(r.szProcessor))},
      {"Processor max speed", std::to_string(r.wProcessorMaxSpeed) + " MHz"},
      {"Installed memory", std::to_string(r.wTotalMemory) + " MB"},
      {"On-board video memory", std::to_string(r.wUmaVideoSize) + " MB"},
      {"Platform code", ToUtf8(Field(p.szCode))},
  };
  std::string out;
  for (const Line& line : lines) {
    char label[32];
    std::snprintf(label, sizeof(label), "%-24s", (std::string(line.label) + ":").c_str());
    out += label + line.value + "\n";
  }
  char decoded[256];
  std::snprintf(decoded, sizeof(decoded),
                "  decoded: %d %02X %s %d %02X %d %d %02X %d %d %d %d %d %d %d %d\n", p.nCode00, p.nCode02,
                ToUtf8(Field(p.szCode04)).c_str(), p.nCode07, p.nCode08, p.nCode10, p.nCode11, p.nCode12,
                p.nCode14, p.nCode15, p.nCode16, p.nCode17, p.nCode18, p.nCode19, p.nCode20, p.nCode21);
  return out + decoded;
}

std::string FormatRecordJson(const SysInfoRecord& r) {
  const PlatformCodeBlock& p = r.PlatformCode;
  std::string out = "{\n";
  const auto text = [&](const char* name, std::u16string_view value) {
    out += std::string("  \"") + name + "\": " + JsonString(value) + ",\n";
  };
  const auto number = [&](const char* name, long long value) {
    out += std::string("  \"") + name + "\": " + std::to_string(value) + ",\n";
  };
  text("szBiosVersion", Field(r.szBiosVersion));
  text("szSerialNumber", Field(r.szSerialNumber));
  number("wTotalMemory", r.wTotalMemory);
  number("wUmaVideoSize", r.wUmaVideoSize);
  text("szProcessor", Field(r.szProcessor));
  text("szBoardVersion", Field(r.szBoardVersion));
  number("wProcessorMaxSpeed", r.wProcessorMaxSpeed);
  text("szProductName2", Field(r.szProductName2));
  text("szSkuNumber", Field(r.szSkuNumber));
  out += "  \"PlatformCode\": {\"szCode\": " + JsonString(Field(p.szCode)) +
         ", \"szCode04\": " + JsonString(Field(p.szCode04));
  const std::pair<const char*, long long> codes[] = {
      {"nCode00", p.nCode00}, {"nCode02", p.nCode02}, {"nCode07", p.nCode07}, {"nCode08", p.nCode08},
      {"nCode10", p.nCode10}, {"nCode11", p.nCode11}, {"nCode12", p.nCode12}, {"nCode14", p.nCode14},
      {"nCode15", p.nCode15}, {"nCode16", p.nCode16}, {"nCode17", p.nCode17}, {"nCode18", p.nCode18},
      {"nCode19", p.nCode19}, {"nCode20", p.nCode20}, {"nCode21", p.nCode21}};
  for (const auto& [name, value] : codes) out += std::string(", \"") + name + "\": " + std::to_string(value);
  return out + "}\n}\n";
}

}  // namespace orvo
