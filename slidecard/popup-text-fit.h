// Chooses the message font height: the full 15 when the wrapped message fits its rectangle,
// otherwise the largest smaller height down to a legible 11 that fits, and 11 (clipped) when
// none does. Measuring is the platform's; the shell measures with its real font.
#pragma once

#include <string_view>

namespace orvo {

inline constexpr int kTitleFontHeight = 18;
inline constexpr int kMessageFontHeight = 15;
inline constexpr int kMinimumMessageFontHeight = 11;

struct TextExtent {
  int width = 0;   // widest line, pixels (wider than the wrap width when a word cannot break)
  int height = 0;  // all wrapped lines, pixels
};

class TextMeasure {
public:
  virtual ~TextMeasure() = default;
  // The extent of `text` word-wrapped at `wrapWidth` in the message font of `fontHeight`.
  virtual TextExtent Measure(int fontHeight, std::wstring_view text, int wrapWidth) = 0;
};

int ChooseMessageFontHeight(TextMeasure& measure, std::wstring_view text, int width, int height);

}  // namespace orvo
