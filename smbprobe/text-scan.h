// Small text routines the getters share: the space trim, the case-blind search for BIOS
// version prefixes, and the leading-number readers used for sizes and platform codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvo {

// Removes U+0020 (and nothing else) from both ends of the `length` characters at `text`,
// moving what is left to the front and zeroing the positions it vacated, terminator included.
// Returns the new length.
std::size_t TrimSpaces(char16_t* text, std::size_t length);

// First position of `needle` in `haystack`, comparing ASCII letters without regard to case;
// npos when absent.
std::size_t FindIgnoringCase(std::u16string_view haystack, std::u16string_view needle);

// The text's leading base-10 integer: white space skipped, an optional sign, digits up to the
// first other character. 0 without a digit; saturates at the 32-bit limits instead of wrapping.
std::int32_t LeadingDecimal(std::u16string_view text);

// Up to two hexadecimal digits (either case) after optional white space; 0 without a digit.
std::uint32_t LeadingHexByte(std::u16string_view text);

}  // namespace orvo
