// Trim, case-blind search and leading-number readers over UTF-16 text.
#include "smbprobe/text-scan.h"

#include <algorithm>
#include <limits>

namespace orvo {
namespace {

bool IsWhiteSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::size_t TrimSpaces(char16_t* text, std::size_t length) {
  std::size_t first = 0;
  while (first < length && text[first] == u' ') ++first;
  std::size_t end = length;
  while (end > first && text[end - 1] == u' ') --end;
  const std::size_t kept = end - first;
  std::copy(text + first, text + end, text);
  std::fill(text + kept, text + length + 1, u'\0');
  return kept;
}

std::size_t FindIgnoringCase(std::u16string_view haystack, std::u16string_view needle) {
  const auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                              [](char16_t a, char16_t b) { return FoldAscii(a) == FoldAscii(b); });
  return it == haystack.end() && !needle.empty() ? std::u16string_view::npos
                                                 : static_cast<std::size_t>(it - haystack.begin());
}

std::int32_t LeadingDecimal(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Accumulated as a magnitude in 64 bits and clamped, so firmware noise such as
  // "99999999999MB" cannot overflow.
  const std::int64_t limit = negative ? -std::int64_t{std::numeric_limits<std::int32_t>::min()}
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = std::min(limit, magnitude * 10 + (text[i] - u'0'));
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::uint32_t LeadingHexByte(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  std::uint32_t value = 0;
  for (int digits = 0; digits < 2 && i < text.size() && HexValue(text[i]) >= 0; ++digits, ++i) {
    value = value * 16 + static_cast<std::uint32_t>(HexValue(text[i]));
  }
  return value;
}

}  // namespace orvo
