// slidecard.dll: ShowToasterPopUp shows one notification popup beside the taskbar on the
// caller's thread and returns when it has closed. Placement, fade pacing and the message's
// font height are decided by the portable code beside this file.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "slidecard/gdi-owners-win.h"
#include "slidecard/popup-arguments.h"
#include "slidecard/popup-fade-win.h"
#include "slidecard/popup-placement.h"
#include "slidecard/popup-text-fit.h"
#include "slidecard/popup-text-win.h"

namespace {

constexpr wchar_t kPopupName[] = L"Orvo slidecard";
constexpr wchar_t kNormalPicture[] = L"Images\\BackGround-N.bmp";
constexpr wchar_t kOverPicture[] = L"Images\\BackGround-M.bmp";
constexpr wchar_t kPressedPicture[] = L"Images\\BackGround-D.bmp";
constexpr int kClassIconId = 108;
constexpr UINT_PTR kCountdownTimer = 1;
constexpr UINT kCountdownMs = 5000;
constexpr POINT kIconOrigin{10, 32};
constexpr RECT kTitleRect{60, 10, 240, 40};
constexpr RECT kMessageRect{60, 35, 235, 91};
constexpr COLORREF kTextColour = RGB(255, 255, 255);

// The one popup of the process. Only the thread inside ShowToasterPopUp touches it.
HINSTANCE g_instance = nullptr;
struct PopupState {
  orvo::PopupArguments arguments;
  HWND window = nullptr;
  orvo::ScopedBitmap background;
  orvo::ScopedIcon icon;
  bool hovering = false;
};
PopupState* g_popup = nullptr;

void SwitchBackground(HWND window, const wchar_t* picture) {
  g_popup->background.reset(static_cast<HBITMAP>(
      ::LoadImageW(nullptr, picture, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  ::InvalidateRect(window, nullptr, TRUE);
  ::UpdateWindow(window);
}

void StartCountdown(HWND window) { ::SetTimer(window, kCountdownTimer, kCountdownMs, nullptr); }

void PaintBackground(HDC dc) {
  if (!g_popup->background) return;
  BITMAP info{};
  ::GetObjectW(g_popup->background.get(), sizeof(info), &info);
  orvo::ScopedMemoryDc memory(::CreateCompatibleDC(dc));
  orvo::ScopedSelection selection(memory.get(), g_popup->background.get());
  ::BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

void PaintText(HDC dc, std::wstring_view text, RECT rect, int fontHeight) {
  orvo::ScopedFont font(orvo::CreatePopupFont(fontHeight));
  orvo::ScopedSelection selection(dc, font.get());
  orvo::DrawPopupText(dc, text, &rect, 0);
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(window, &paint);
  PaintBackground(dc);
  if (g_popup->icon) ::DrawIcon(dc, kIconOrigin.x, kIconOrigin.y, g_popup->icon.get());
  ::SetTextColor(dc, kTextColour);
  ::SetBkMode(dc, TRANSPARENT);
  PaintText(dc, g_popup->arguments.title, kTitleRect, orvo::kTitleFontHeight);
  orvo::DcTextMeasure measure(dc);
  const std::wstring& message = g_popup->arguments.message;
  const int height = orvo::ChooseMessageFontHeight(measure, message, kMessageRect.right - kMessageRect.left,
                                                   kMessageRect.bottom - kMessageRect.top);
  PaintText(dc, message, kMessageRect, height);
  ::EndPaint(window, &paint);
  return 0;
}

LRESULT OnCreate(HWND window) {
  g_popup->window = window;
  g_popup->hovering = false;
  g_popup->background.reset(static_cast<HBITMAP>(
      ::LoadImageW(nullptr, kNormalPicture, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  g_popup->icon.reset(static_cast<HICON>(::LoadImageW(nullptr, g_popup->arguments.iconPath.c_str(), IMAGE_ICON,
                                                      0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
  StartCountdown(window);
  return 0;
}

LRESULT OnTimer(HWND window, WPARAM id) {
  if (id != kCountdownTimer) return 0;
  ::KillTimer(window, kCountdownTimer);
  orvo::FadeWindow(window, orvo::FadeOutAlphas());
  ::DestroyWindow(window);
  g_popup->background.reset();
  g_popup->icon.reset();
  return 0;
}

LRESULT OnMouseMove(HWND window) {
  if (g_popup->hovering) return 0;
  SwitchBackground(window, kOverPicture);
  TRACKMOUSEEVENT track = {sizeof(track)};
  track.dwFlags = TME_LEAVE | TME_HOVER;
  track.hwndTrack = window;
  track.dwHoverTime = HOVER_DEFAULT;
  if (::TrackMouseEvent(&track)) {
    g_popup->hovering = true;
    ::KillTimer(window, kCountdownTimer);
  }
  return 0;
}

LRESULT OnButtonDown(HWND window) {
  SwitchBackground(window, kPressedPicture);
  return 0;
}

LRESULT OnButtonUp(HWND window) {
  SwitchBackground(window, kOverPicture);
  ::ShellExecuteW(nullptr, L"open", g_popup->arguments.programPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return 0;
}

LRESULT OnMouseLeave(HWND window) {
  SwitchBackground(window, kNormalPicture);
  g_popup->hovering = false;
  StartCountdown(window);
  return 0;
}

LRESULT OnDestroy() {
  g_popup->window = nullptr;
  ::PostQuitMessage(0);
  return 0;
}

LRESULT DispatchPopupMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: return OnPaint(window);
    case WM_TIMER: return OnTimer(window, wparam);
    case WM_MOUSEMOVE: return OnMouseMove(window);
    case WM_LBUTTONDOWN: return OnButtonDown(window);
    case WM_LBUTTONUP: return OnButtonUp(window);
    case WM_MOUSELEAVE: return OnMouseLeave(window);
    case WM_DESTROY: return OnDestroy();
    case WM_SIZE:
    case WM_KILLFOCUS:
    case WM_WINDOWPOSCHANGED:
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_SIZING: return 0;
    default: return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

LRESULT CALLBACK PopupWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Messages that arrive outside a call (none should) have no popup to act on.
  if (!g_popup) return ::DefWindowProcW(window, message, wparam, lparam);
  try {
    return DispatchPopupMessage(window, message, wparam, lparam);
  } catch (...) {
    return 0;
  }
}

void RegisterPopupClass() {
  WNDCLASSEXW wc = {sizeof(wc)};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = PopupWindowProc;
  wc.hInstance = g_instance;
  wc.hIcon = ::LoadIconW(g_instance, MAKEINTRESOURCEW(kClassIconId));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(g_instance, MAKEINTRESOURCEW(kClassIconId), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kPopupName;
  ::RegisterClassExW(&wc);  // fails harmlessly when an earlier call registered it
}

orvo::PixelPoint PopupOrigin() {
  RECT desktop{};
  ::GetClientRect(::GetDesktopWindow(), &desktop);
  std::optional<orvo::PixelRect> taskbar;
  if (const HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
    RECT r{};
    ::GetWindowRect(tray, &r);
    taskbar = orvo::PixelRect{r.left, r.top, r.right, r.bottom};
  }
  return orvo::PlacePopup({desktop.left, desktop.top, desktop.right, desktop.bottom}, taskbar,
                          ::GetSystemMetrics(SM_CXMAXIMIZED), ::GetSystemMetrics(SM_CYMAXIMIZED));
}

int ShowPopup(const wchar_t* title, const wchar_t* message, const wchar_t* iconPath, const wchar_t* programPath) {
  PopupState popup;
  popup.arguments.programPath = orvo::CopyArgument(programPath);
  popup.arguments.iconPath = orvo::CopyArgument(iconPath);
  popup.arguments.title = orvo::CopyArgument(title);
  popup.arguments.message = orvo::CopyArgument(message);
  g_popup = &popup;
  RegisterPopupClass();
  const orvo::PixelPoint origin = PopupOrigin();
  const HWND window = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOPMOST, kPopupName, kPopupName,
                                        WS_POPUPWINDOW, origin.x, origin.y, orvo::kPopupWidth,
                                        orvo::kPopupHeight, nullptr, nullptr, g_instance, nullptr);
  if (window) {
    ::SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    orvo::FadeWindow(window, orvo::FadeInAlphas());
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  // A WM_QUIT from elsewhere can end the loop with the popup still up; take it down
  // without letting its WM_DESTROY post another quit to the caller's thread.
  g_popup = nullptr;
  if (window && ::IsWindow(window)) ::DestroyWindow(window);
  return 0;
}

}  // namespace

extern "C" int WINAPI ShowToasterPopUp(const wchar_t* title, const wchar_t* message,
                                        const wchar_t* iconPath, const wchar_t* programPath) {
  try {
    return ShowPopup(title, message, iconPath, programPath);
  } catch (...) {
    g_popup = nullptr;
    return 0;
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  return TRUE;
}
