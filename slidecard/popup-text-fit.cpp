// Font height step-down for the popup message; see popup-text-fit.h.
#include "slidecard/popup-text-fit.h"

namespace orvo {

int ChooseMessageFontHeight(TextMeasure& measure, std::wstring_view text, int width, int height) {
  for (int fontHeight = kMessageFontHeight; fontHeight > kMinimumMessageFontHeight; --fontHeight) {
    const TextExtent extent = measure.Measure(fontHeight, text, width);
    if (extent.width <= width && extent.height <= height) {
      return fontHeight;
    }
  }
  return kMinimumMessageFontHeight;
}

}  // namespace orvo
