// Text drawing and measuring for the popup; see popup-text-win.h.
#include "slidecard/popup-text-win.h"

#include "slidecard/gdi-owners-win.h"

namespace orvo {

HFONT CreatePopupFont(int height) {
  return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, L"MS Shell Dlg");
}

// DrawTextExW only writes to the text with DT_MODIFYSTRING, which is never passed here.
int DrawPopupText(HDC dc, std::wstring_view text, RECT* rect, UINT extraFlags) {
  DRAWTEXTPARAMS params = {sizeof(params)};
  return ::DrawTextExW(dc, const_cast<wchar_t*>(text.data()), static_cast<int>(text.size()), rect,
                       DT_WORDBREAK | DT_EXPANDTABS | DT_TABSTOP | extraFlags, &params);
}

TextExtent DcTextMeasure::Measure(int fontHeight, std::wstring_view text, int wrapWidth) {
  ScopedFont font(CreatePopupFont(fontHeight));
  ScopedSelection selection(dc_, font.get());
  RECT rect{0, 0, wrapWidth, 0};
  DrawPopupText(dc_, text, &rect, DT_CALCRECT);
  return {static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top)};
}

}  // namespace orvo
