// The popup's text drawing on a device context: its font, its DrawTextExW call and the
// measurement that the font-height step-down asks for. Shared with the Windows tests.
#pragma once

#include <windows.h>

#include <string_view>

#include "slidecard/popup-text-fit.h"

namespace orvo {

// Height-`height` popup font; the caller deletes it.
HFONT CreatePopupFont(int height);
// Draws (or with DT_CALCRECT measures) `text` word-wrapped in `rect` in the selected font.
int DrawPopupText(HDC dc, std::wstring_view text, RECT* rect, UINT extraFlags);

class DcTextMeasure : public TextMeasure {
public:
  explicit DcTextMeasure(HDC dc) : dc_(dc) {}
  TextExtent Measure(int fontHeight, std::wstring_view text, int wrapWidth) override;

private:
  HDC dc_;
};

}  // namespace orvo
