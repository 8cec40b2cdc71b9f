// The button-action shell against the real registry, in a private Event tree per test: the
// default tree's keys, types and sizes, "Show" of any type, strings of any length.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "common/registry-win.h"
#include "keywatch/button-actions-win.h"

namespace orvo {
namespace {

class PrivateEventTree : public ::testing::Test {
protected:
  void SetUp() override {
    base_ = L"Software\\OrvoTest\\button-actions-" + std::to_wstring(::GetCurrentProcessId());
    root_ = base_ + L"\\Event";
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, base_));
  }
  void TearDown() override { EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, base_)); }

  std::vector<std::wstring> Subkeys(const std::wstring& path) {
    std::vector<std::wstring> names;
    const ScopedKey key = OpenKey(HKEY_CURRENT_USER, path, KEY_READ);
    if (!key) return names;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    return names;
  }

  struct RawValue {
    DWORD type = 0xdeadbeef;
    std::vector<BYTE> data;
  };
  std::optional<RawValue> Raw(const std::wstring& keyPath, const wchar_t* name) {
    const ScopedKey key = OpenKey(HKEY_CURRENT_USER, root_ + L"\\" + keyPath, KEY_READ);
    if (!key) return std::nullopt;
    RawValue value;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    value.data.assign(size + 8, 0xA5);
    if (::RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    for (std::size_t i = size; i < value.data.size(); ++i) {
      EXPECT_EQ(value.data[i], 0xA5) << "overrun at " << i;
    }
    value.data.resize(size);
    return value;
  }

  std::wstring base_;
  std::wstring root_;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST_F(PrivateEventTree, MissingRootGetsTheDefaultTreeWithTypedValues) {
  WinActionPlatform platform(root_);
  EXPECT_FALSE(platform.EventRootExists());
  EnsureDefaultEvents(platform);
  EXPECT_TRUE(platform.EventRootExists());

  std::vector<std::string> bezel, hot;
  for (const auto& n : Subkeys(root_ + L"\\Bezel Button")) bezel.push_back(Narrow(n));
  for (const auto& n : Subkeys(root_ + L"\\HotKey")) hot.push_back(Narrow(n));
  EXPECT_EQ(bezel, (std::vector<std::string>{"8553", "8554", "8604", "8605", "8606", "8607"}));
  EXPECT_EQ(hot, (std::vector<std::string>{"0305", "8604"}));

  for (const auto& entry : DefaultEvents()) {
    for (const auto& expected : entry.values) {
      const auto raw = Raw(entry.keyPath, expected.name.c_str());
      ASSERT_TRUE(raw.has_value()) << Narrow(entry.keyPath) << " " << Narrow(expected.name);
      if (const auto* text = std::get_if<std::wstring>(&expected.data)) {
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << Narrow(entry.keyPath) << " type " << raw->type;
        // With the terminating null.
        ASSERT_EQ(raw->data.size(), (text->size() + 1) * sizeof(wchar_t)) << Narrow(entry.keyPath);
        EXPECT_EQ(Narrow(reinterpret_cast<const wchar_t*>(raw->data.data())), Narrow(*text));
      } else {
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_DWORD)) << Narrow(entry.keyPath) << " type " << raw->type;
        EXPECT_EQ(raw->data, (std::vector<BYTE>{0, 0, 0, 0})) << Narrow(entry.keyPath);
      }
    }
  }
  // The keys hold nothing else.
  const auto raw = Raw(L"Bezel Button\\8554", L"ApplicationPath");
  EXPECT_FALSE(raw.has_value());
}

TEST_F(PrivateEventTree, AnExistingEmptyRootIsLeftEmpty) {
  ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, root_));
  WinActionPlatform platform(root_);
  RunButtonAction(platform, kBezelButton, 8553);
  EXPECT_TRUE(Subkeys(root_).empty()) << Subkeys(root_).size() << " keys appeared";
}

TEST_F(PrivateEventTree, ShowIsReadFromUpToFourBytesOfAnyType) {
  const ScopedKey key = CreateKey(HKEY_CURRENT_USER, root_ + L"\\HotKey\\0001");
  ASSERT_TRUE(key);
  const struct {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    std::optional<std::uint32_t> show;
  } cases[] = {
      {"REG_DWORD 1", REG_DWORD, {1, 0, 0, 0}, 1u},
      {"REG_BINARY two bytes", REG_BINARY, {0x34, 0x12}, 0x1234u},
      {"REG_SZ empty string", REG_SZ, {0, 0}, 0u},
      {"REG_BINARY empty", REG_BINARY, {}, 0u},
      {"REG_QWORD", REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}, std::nullopt},
      {"REG_BINARY five bytes", REG_BINARY, {1, 0, 0, 0, 0}, std::nullopt},
  };
  WinActionPlatform platform(root_);
  for (const auto& c : cases) {
    ASSERT_EQ(::RegSetValueExW(key.get(), kShowValue, 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
              ERROR_SUCCESS);
    const auto button = platform.OpenButtonKey(L"HotKey\\0001");
    ASSERT_TRUE(button) << c.name;
    EXPECT_EQ(button->ReadShow(), c.show) << c.name;
  }
  ASSERT_EQ(::RegDeleteValueW(key.get(), kShowValue), ERROR_SUCCESS);
  EXPECT_FALSE(platform.OpenButtonKey(L"HotKey\\0001")->ReadShow().has_value()) << "missing";

  const auto button = platform.OpenButtonKey(L"HotKey\\0001");
  ASSERT_TRUE(button->WriteShow(1));
  const auto raw = Raw(L"HotKey\\0001", kShowValue);
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(raw->data, (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(PrivateEventTree, StringsAreReadWholeAndOnlyAsRegSz) {
  const ScopedKey key = CreateKey(HKEY_CURRENT_USER, root_ + L"\\Bezel Button\\65535");
  ASSERT_TRUE(key);
  const std::wstring longLine(100000, L'x');
  ASSERT_TRUE(WriteStringValue(key.get(), kApplicationPathValue, longLine));
  // Text stored under another type is not the action's name.
  const std::wstring text = L"Virtual Keyboard";
  ASSERT_EQ(::RegSetValueExW(key.get(), kActionNameValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  WinActionPlatform platform(root_);
  const auto button = platform.OpenButtonKey(*ButtonKeyPath(kBezelButton, 65535));
  ASSERT_TRUE(button) << "key 65535";
  const auto path = button->ReadString(kApplicationPathValue);
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(path->size(), longLine.size());
  EXPECT_EQ(*path, longLine);
  EXPECT_FALSE(button->ReadString(kActionNameValue).has_value()) << "REG_BINARY is not REG_SZ";
  EXPECT_FALSE(platform.OpenButtonKey(L"Bezel Button\\0305")) << "a key that does not exist";
}

}  // namespace
}  // namespace orvo

// --- the touch keyboard and the failure report --------------------------------------------

namespace orvo {
namespace {

// A top-level window of the touch keyboard's class on its own thread, recording the
// WM_SYSCOMMAND messages it gets. With `hung` its thread stops serving messages.
class KeyboardWindow {
public:
  explicit KeyboardWindow(bool hung) : hung_(hung), thread_([this] { Run(); }) {
    while (!ready_.load()) ::Sleep(5);
  }
  ~KeyboardWindow() {
    release_.store(true);
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  std::vector<std::pair<WPARAM, LPARAM>> Commands() {
    return {commands_, commands_ + std::min(count_.load(), 8)};
  }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<KeyboardWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_SYSCOMMAND && self) {
      const int n = self->count_.load();
      if (n < 8) self->commands_[n] = {wparam, lparam};
      self->count_.store(n + 1);
      return 0;
    }
    if (message == WM_CLOSE) {
      ::DestroyWindow(window);
      return 0;
    }
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  void Run() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTouchKeyboardClass;
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, kTouchKeyboardClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ready_.store(true);
    while (hung_ && !release_.load()) ::Sleep(10);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    ::UnregisterClassW(kTouchKeyboardClass, windowClass.hInstance);
  }

  bool hung_;
  HWND window_ = nullptr;
  std::atomic<bool> ready_{false}, release_{false};
  std::atomic<int> count_{0};
  std::pair<WPARAM, LPARAM> commands_[8] = {};
  std::thread thread_;
};

TEST(TouchKeyboard, CloseSendsScCloseWithLparamMinusOne) {
  WinActionPlatform platform(L"Software\\OrvoTest\\unused");
  ASSERT_EQ(::FindWindowW(kTouchKeyboardClass, nullptr), nullptr) << "a keyboard window is left over";
  platform.CloseTouchKeyboard();  // no window: nothing to send, and no wait

  KeyboardWindow keyboard(false);
  platform.CloseTouchKeyboard();
  const auto commands = keyboard.Commands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].first, static_cast<WPARAM>(SC_CLOSE)) << std::hex << commands[0].first;
  EXPECT_EQ(commands[0].second, static_cast<LPARAM>(-1)) << commands[0].second;
}

TEST(TouchKeyboard, AHungKeyboardWindowDoesNotHoldTheCallerForGood) {
  WinActionPlatform platform(L"Software\\OrvoTest\\unused");
  KeyboardWindow keyboard(true);
  const ULONGLONG before = ::GetTickCount64();
  platform.CloseTouchKeyboard();
  const ULONGLONG waited = ::GetTickCount64() - before;
  EXPECT_GE(waited + 100, kTouchKeyboardCloseTimeoutMs) << waited << " ms";
  EXPECT_LT(waited, kTouchKeyboardCloseTimeoutMs + 3000u) << waited << " ms";
}

// The report is modal: it returns once the user closes it. A second thread reads the box and
// presses its OK button.
TEST(RegistryWriteFail, ShowsTheDebugBoxAndReturnsWhenItIsClosed) {
  WinActionPlatform platform(L"Software\\OrvoTest\\unused");
  std::atomic<bool> returned{false};
  std::thread user([&] {
    HWND box = nullptr;
    for (int i = 0; i < 500 && !box; ++i) {
      box = ::FindWindowW(L"#32770", L"Debug");
      if (!box) ::Sleep(10);
    }
    if (!box) {
      ADD_FAILURE() << "no box captioned \"Debug\" appeared";
      return;
    }
    wchar_t text[64] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 64);  // the message's static control
    EXPECT_STREQ(text, L"Registry Write Fail");
    EXPECT_FALSE(returned.load()) << "the report returned while its box was open";
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  platform.ReportRegistryWriteFail();
  returned.store(true);
  user.join();
  EXPECT_EQ(::FindWindowW(L"#32770", L"Debug"), nullptr);
}

}  // namespace
}  // namespace orvo
