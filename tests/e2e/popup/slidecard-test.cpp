// ShowToasterPopUp of the installed slidecard.dll under the real window manager of the test
// machine: the window's class, styles, size and place, its fades and countdown, the pointer
// and the button, the pictures, and screenshots of the popup in English and Russian.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "generated/catalogue-expected.h"
#include "standins/sim-client.h"
#include "standins/sim-paths.h"
#include "standins/sim-record.h"
#include "tests/e2e/popup/popup-e2e-support.h"

namespace orvotest {
namespace {

constexpr wchar_t kTitle[] = L"Orvo Smart Adapter";
constexpr POINT kAway{5, 5};

const wchar_t* CatalogueRow20(unsigned short language) {
  for (const auto& rows : orvo::catalogue::kLanguages) {
    if (rows.languageId == language) return rows.lowerCapacity;
  }
  return L"";
}

class SlidecardTest : public ::testing::Test {
protected:
  void SetUp() override {
    module_ = ::LoadLibraryW(ProductPath(L"slidecard.dll").c_str());
    ASSERT_NE(module_, nullptr) << "slidecard.dll not installed, error " << ::GetLastError();
    show_ = reinterpret_cast<ShowToasterPopUpFn>(reinterpret_cast<void*>(::GetProcAddress(module_, MAKEINTRESOURCEA(1))));
    ASSERT_NE(show_, nullptr) << "no ordinal 1";
    ::GetCurrentDirectoryW(MAX_PATH, savedDirectory_);
    ASSERT_TRUE(::SetCurrentDirectoryW(kProductDir));
    MovePointer(kAway.x, kAway.y);
    ASSERT_EQ(::FindWindowW(kPopupName, kPopupName), nullptr) << "a popup is already up";
  }
  void TearDown() override {
    MovePointer(kAway.x, kAway.y);
    ::SetCurrentDirectoryW(savedDirectory_);
    // The library stays loaded: its window class lives as long as the process.
  }

  std::unique_ptr<PopupCall> Show(const std::wstring& message, const std::wstring& program = L"") {
    return std::make_unique<PopupCall>(show_, kTitle, message, L"Images\\deckicon.ico",
                                       program.empty() ? ProductPath(L"powerguide.exe") : program);
  }

  HMODULE module_ = nullptr;
  ShowToasterPopUpFn show_ = nullptr;
  wchar_t savedDirectory_[MAX_PATH] = {};
};

// Where the placement rule puts the popup for the taskbar that this machine reports.
POINT ExpectedOrigin() {
  RECT desktop{};
  ::GetClientRect(::GetDesktopWindow(), &desktop);
  const int cxm = ::GetSystemMetrics(SM_CXMAXIMIZED);
  const int cym = ::GetSystemMetrics(SM_CYMAXIMIZED);
  const HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  RECT t{};
  if (tray) ::GetWindowRect(tray, &t);
  std::printf("screen %ldx%ld, maximized %dx%d, Shell_TrayWnd %s (%ld,%ld)-(%ld,%ld) visible %d\n", desktop.right,
              desktop.bottom, cxm, cym, tray ? "present" : "absent", t.left, t.top, t.right, t.bottom,
              tray ? ::IsWindowVisible(tray) : 0);
  if (!tray || t.left > 0 || t.top > 0) return {cxm - 267, cym - 113};
  if (t.bottom == desktop.bottom) return {desktop.right - 267, cym - 113};
  return {cxm - 267, desktop.bottom - 113};
}

// Waits until the popup reaches `alpha`; returns the tick, or 0 on timeout.
ULONGLONG WaitForAlpha(HWND window, int alpha, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (::GetTickCount64() < end) {
    if (PopupAlpha(window) == alpha) return ::GetTickCount64();
    ::Sleep(5);
  }
  return 0;
}

// Waits until the popup starts fading out (alpha below 234) or is gone; the tick, 0 on timeout.
ULONGLONG WaitForFadeOut(HWND window, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (::GetTickCount64() < end) {
    if (!::IsWindow(window) || PopupAlpha(window) < 234) return ::GetTickCount64();
    ::Sleep(5);
  }
  return 0;
}

// The popup once it is up and fully faded in; null (with the reason reported) otherwise.
HWND WaitForFadedInPopup() {
  const HWND window = WaitForPopup(3000);
  if (!window) {
    ADD_FAILURE() << "no popup window appeared";
    return nullptr;
  }
  if (WaitForAlpha(window, 234, 4000) == 0) {
    ADD_FAILURE() << "the popup never reached alpha 234 (alpha " << PopupAlpha(window) << ")";
    return nullptr;
  }
  return window;
}

// Real pointer input onto the popup's centre, then time for the pointer-over picture.
void PointAtCentre(HWND window, DWORD settleMs) {
  RECT r{};
  ::GetWindowRect(window, &r);
  MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ::Sleep(settleMs);
}

// The picture the popup shows, told by the colour of a spot that no text covers.
enum class Picture { Normal, Over, Pressed, None };
const char* Name(Picture p) {
  switch (p) {
    case Picture::Normal: return "normal";
    case Picture::Over: return "pointer-over";
    case Picture::Pressed: return "pressed";
    case Picture::None: return "none (black)";
  }
  return "?";
}
constexpr POINT kPictureSpot{244, 4};

COLORREF PictureColour(const wchar_t* file) {
  const HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageW(nullptr, ProductPath(file).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!bitmap) return CLR_INVALID;
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HGDIOBJ previous = ::SelectObject(dc, bitmap);
  const COLORREF colour = ::GetPixel(dc, kPictureSpot.x, kPictureSpot.y);
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  return colour;
}

int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

Picture ShownPicture(HWND window) {
  const RECT client = ClientAreaOnScreen(window);
  const Capture c = CaptureScreen(client);
  const COLORREF seen = c.At(kPictureSpot.x, kPictureSpot.y);
  const std::pair<Picture, COLORREF> candidates[] = {
      {Picture::Normal, PictureColour(L"Images\\BackGround-N.bmp")},
      {Picture::Over, PictureColour(L"Images\\BackGround-M.bmp")},
      {Picture::Pressed, PictureColour(L"Images\\BackGround-D.bmp")},
      {Picture::None, RGB(0, 0, 0)},
  };
  Picture best = Picture::None;
  int bestDistance = 1 << 30;
  for (const auto& [picture, colour] : candidates) {
    if (Distance(seen, colour) < bestDistance) {
      bestDistance = Distance(seen, colour);
      best = picture;
    }
  }
  return best;
}

// Pixels of near-white text in a client rectangle of a capture of the client area.
int TextPixels(const Capture& c, RECT r) {
  int n = 0;
  for (int y = r.top; y < r.bottom && y < c.height; ++y) {
    for (int x = r.left; x < r.right && x < c.width; ++x) {
      const COLORREF p = c.At(x, y);
      if (GetRValue(p) > 170 && GetGValue(p) > 170 && GetBValue(p) > 170) ++n;
    }
  }
  return n;
}

TEST(SlidecardExports, OrdinalOneIsShowToasterPopUp) {
  const HMODULE module = ::LoadLibraryW(ProductPath(L"slidecard.dll").c_str());
  ASSERT_NE(module, nullptr) << ::GetLastError();
  const FARPROC byName = ::GetProcAddress(module, "ShowToasterPopUp");
  const FARPROC byOrdinal = ::GetProcAddress(module, MAKEINTRESOURCEA(1));
  EXPECT_NE(byName, nullptr);
  EXPECT_EQ(byName, byOrdinal);
  EXPECT_EQ(::GetProcAddress(module, MAKEINTRESOURCEA(2)), nullptr);
}

TEST_F(SlidecardTest, WindowFadesInBesideTheTaskbarAndClosesAfterFiveSeconds) {
  const POINT expected = ExpectedOrigin();
  // Twice in one process: the second call reuses the registered class and shows a new popup.
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round == 1 ? "first call" : "second call");
    const auto call = Show(CatalogueRow20(0x0409));
    const HWND window = WaitForPopup(3000);
    const ULONGLONG created = ::GetTickCount64();
    ASSERT_NE(window, nullptr) << "no window \"Orvo slidecard\"";

    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"Orvo slidecard");
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wantEx = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOPMOST;
    EXPECT_EQ(exStyle & wantEx, wantEx) << std::hex << "extended style 0x" << exStyle;
    EXPECT_EQ(exStyle & (WS_EX_APPWINDOW | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW), 0) << std::hex << exStyle;
    EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_SYSMENU), WS_POPUP | WS_BORDER | WS_SYSMENU) << std::hex << style;
    EXPECT_EQ(style & (WS_CHILD | WS_DLGFRAME | WS_THICKFRAME), 0) << std::hex << "style 0x" << style;
    RECT r{};
    ::GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.bottom - r.top, 96);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);

    // Alpha only rises during the fade-in and settles at 234.
    int last = -1;
    bool monotonic = true;
    ULONGLONG fadedIn = 0;
    while (::GetTickCount64() < created + 4000) {
      const int alpha = PopupAlpha(window);
      if (alpha < last) monotonic = false;
      last = alpha;
      if (alpha == 234) {
        fadedIn = ::GetTickCount64();
        break;
      }
      ::Sleep(2);
    }
    ASSERT_NE(fadedIn, 0u) << "alpha " << last << " after 4 s";
    EXPECT_TRUE(monotonic);
    EXPECT_TRUE(::IsWindowVisible(window));
    std::printf("fade-in seen done %llu ms after the window appeared\n", fadedIn - created);

    const ULONGLONG fadeOut = WaitForFadeOut(window, 9000);
    ASSERT_NE(fadeOut, 0u) << "no fade-out 9 s after creation";
    EXPECT_GE(fadeOut - created, 4700u);
    EXPECT_LE(fadeOut - created, 5900u);
    ULONGLONG gone = 0;
    while (::GetTickCount64() < fadeOut + 5000 && !gone) {
      if (!::IsWindow(window)) gone = ::GetTickCount64();
      ::Sleep(5);
    }
    EXPECT_NE(gone, 0u) << "the window outlived its fade-out by 5 s";
    ASSERT_TRUE(call->WaitFinished(5000)) << "the call did not return after the fade-out";
    EXPECT_EQ(call->Result(), 0);
    std::printf("fade-out began %llu ms after creation, the window was gone %llu ms later, the call returned "
                "%llu ms after creation\n",
                fadeOut - created, gone - fadeOut, call->EndTick() - created);
  }
}

TEST_F(SlidecardTest, PointerStopsTheCountdownAndLeavingRestartsIt) {
  const auto call = Show(CatalogueRow20(0x0409));
  const HWND window = WaitForPopup(3000);
  ASSERT_NE(window, nullptr);
  const ULONGLONG created = ::GetTickCount64();
  ASSERT_NE(WaitForAlpha(window, 234, 4000), 0u);
  EXPECT_EQ(ShownPicture(window), Picture::Normal) << Name(ShownPicture(window));

  PointAtCentre(window, 400);
  EXPECT_EQ(ShownPicture(window), Picture::Over) << Name(ShownPicture(window));
  // Well past the original 5 s: still up, still opaque.
  while (::GetTickCount64() < created + 7500) ::Sleep(50);
  ASSERT_TRUE(::IsWindow(window)) << "closed while the pointer rested on it";
  EXPECT_EQ(PopupAlpha(window), 234);
  EXPECT_FALSE(call->Finished());

  MovePointer(kAway.x, kAway.y);
  const ULONGLONG left = ::GetTickCount64();
  // Wine notices the leave by polling the pointer, a few hundred milliseconds late.
  EXPECT_TRUE(orvosim::WaitFor([&] { return ShownPicture(window) == Picture::Normal; }, 2000))
      << Name(ShownPicture(window));
  const ULONGLONG fadeOut = WaitForFadeOut(window, 9000);
  ASSERT_NE(fadeOut, 0u) << "no fade-out after the pointer left";
  EXPECT_GE(fadeOut - left, 4500u);
  EXPECT_LE(fadeOut - left, 6000u);
  ASSERT_TRUE(call->WaitFinished(5000));
  EXPECT_EQ(call->Result(), 0);
}

TEST_F(SlidecardTest, ButtonUpStartsTheHelpProgramOnceAndThePopupStays) {
  orvosim::ClearRecord(orvosim::kStartedLog);
  const auto call = Show(CatalogueRow20(0x0409));
  const HWND window = WaitForFadedInPopup();
  ASSERT_NE(window, nullptr);
  PointAtCentre(window, 300);
  LeftButton(true);
  ::Sleep(300);
  EXPECT_EQ(ShownPicture(window), Picture::Pressed) << Name(ShownPicture(window));
  EXPECT_TRUE(orvosim::StartedPrograms().empty()) << "started on button down";
  LeftButton(false);
  EXPECT_TRUE(orvosim::WaitFor([] { return !orvosim::StartedPrograms().empty(); }, 5000))
      << "the help program was not started";
  ::Sleep(1000);
  const auto started = orvosim::StartedPrograms();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_NE(started[0].image.find(L"powerguide.exe"), std::wstring::npos);
  EXPECT_EQ(ShownPicture(window), Picture::Over) << Name(ShownPicture(window));
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_EQ(PopupAlpha(window), 234);
  EXPECT_FALSE(call->Finished());
  MovePointer(kAway.x, kAway.y);
  ASSERT_TRUE(call->WaitFinished(9000));
  EXPECT_EQ(call->Result(), 0);
}

TEST_F(SlidecardTest, WithoutPicturesTheCardIsBlackWithIconAndTexts) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring empty = std::wstring(temp) + L"orvo-popup-no-pictures";
  ::CreateDirectoryW(empty.c_str(), nullptr);
  ASSERT_TRUE(::SetCurrentDirectoryW(empty.c_str()));
  const auto call = std::make_unique<PopupCall>(show_, kTitle, CatalogueRow20(0x0409),
                                                ProductPath(L"Images\\deckicon.ico"), ProductPath(L"powerguide.exe"));
  const HWND window = WaitForFadedInPopup();
  ASSERT_NE(window, nullptr);
  ::Sleep(100);
  const Capture c = CaptureScreen(ClientAreaOnScreen(window));
  EXPECT_EQ(ShownPicture(window), Picture::None) << Name(ShownPicture(window));
  EXPECT_GT(TextPixels(c, {60, 10, 240, 35}), 40) << "no title";
  EXPECT_GT(TextPixels(c, {60, 35, 235, 91}), 150) << "no message";
  int iconPixels = 0;
  for (int y = 32; y < 64; ++y)
    for (int x = 10; x < 42; ++x) iconPixels += c.At(x, y) != RGB(0, 0, 0);
  EXPECT_GT(iconPixels, 200) << "no icon";
  // A timer other than the countdown changes nothing.
  ::PostMessageW(window, WM_TIMER, 7, 0);
  ::Sleep(500);
  EXPECT_TRUE(::IsWindow(window));
  EXPECT_EQ(PopupAlpha(window), 234);
  RECT w{};
  ::GetWindowRect(window, &w);
  EXPECT_TRUE(SavePng(std::wstring(savedDirectory_) + L"\\screenshots\\popup-no-pictures.png", CaptureScreen(w)));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(call->WaitFinished(5000));
  EXPECT_EQ(call->Result(), 0);
}

TEST_F(SlidecardTest, ArgumentsLongerThanAHundredCharactersAreHeldWhole) {
  // A help program whose path is far past 99 characters, and a 4096-character message.
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"orvo-popup-a-folder-whose-name-alone-is-longer-than-the-hundred-character-buffers";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring program = folder + L"\\adapter-help-program-with-a-long-name.exe";
  ASSERT_GT(program.size(), 120u);
  ASSERT_TRUE(::CopyFileW(ProductPath(L"powerguide.exe").c_str(), program.c_str(), FALSE)) << ::GetLastError();
  std::wstring message;
  while (message.size() < 4096) message += L"word ";
  message.resize(4096);
  orvosim::ClearRecord(orvosim::kStartedLog);

  const auto call = std::make_unique<PopupCall>(show_, message, message, L"Images\\deckicon.ico", program);
  const HWND window = WaitForFadedInPopup();
  ASSERT_NE(window, nullptr);
  PointAtCentre(window, 300);
  LeftButton(true);
  LeftButton(false);
  ASSERT_TRUE(orvosim::WaitFor([] { return !orvosim::StartedPrograms().empty(); }, 5000))
      << "the long program path was not started";
  const auto started = orvosim::StartedPrograms();
  EXPECT_EQ(orvosim::ToUtf8(started[0].image), orvosim::ToUtf8(program));
  MovePointer(kAway.x, kAway.y);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(call->WaitFinished(5000));
  EXPECT_EQ(call->Result(), 0);
}

struct ScreenshotCase {
  const char* name;
  unsigned short language;
  const wchar_t* file;
};

TEST_F(SlidecardTest, ScreenshotsOfTheWarningInEnglishAndRussian) {
  const ScreenshotCase cases[] = {
      {"English", 0x0409, L"screenshots\\popup-en.png"},
      {"Russian", 0x0419, L"screenshots\\popup-ru.png"},
  };
  wchar_t cwd[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, cwd);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto call = Show(CatalogueRow20(c.language));
    const HWND window = WaitForFadedInPopup();
    ASSERT_NE(window, nullptr);
    ::Sleep(100);
    const Capture client = CaptureScreen(ClientAreaOnScreen(window));
    EXPECT_GT(TextPixels(client, {60, 35, 235, 91}), 150) << "no message drawn";
    // The last lines of a message that fits reach into the bottom third of its rectangle
    // but not past it: nothing of it is cut off below.
    EXPECT_GT(TextPixels(client, {60, 72, 235, 91}), 10) << "message ends high: clipped or too small";
    RECT w{};
    ::GetWindowRect(window, &w);
    const std::wstring path = std::wstring(savedDirectory_) + L"\\" + c.file;
    EXPECT_TRUE(SavePng(path, CaptureScreen(w))) << "cannot write the screenshot";
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(call->WaitFinished(5000));
  }
}

}  // namespace
}  // namespace orvotest
