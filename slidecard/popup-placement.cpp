// Placement rule of the popup; see popup-placement.h.
#include "slidecard/popup-placement.h"

namespace orvo {

PixelPoint PlacePopup(const PixelRect& desktop, const std::optional<PixelRect>& taskbar,
                      long maximizedWidth, long maximizedHeight) {
  const PixelPoint besideBottomOrRight{maximizedWidth - kPopupOffsetLeft, maximizedHeight - kPopupOffsetUp};
  if (!taskbar || taskbar->left > 0 || taskbar->top > 0) {
    return besideBottomOrRight;
  }
  if (taskbar->bottom == desktop.bottom) {  // along the left edge, full height
    return {desktop.right - kPopupOffsetLeft, maximizedHeight - kPopupOffsetUp};
  }
  return {maximizedWidth - kPopupOffsetLeft, desktop.bottom - kPopupOffsetUp};  // along the top
}

}  // namespace orvo
