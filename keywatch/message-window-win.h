// The message window of keywatch: class, creation, window procedure, and the handling of
// WM_KEYWATCH on the window's thread.
#pragma once

#include <windows.h>

inline constexpr int kClassNameResource = 109;
inline constexpr int kAcceleratorResource = 109;
inline constexpr int kIconResource = 129;
inline constexpr int kClassNameChars = 100;

void RegisterMessageWindowClass(HINSTANCE instance, const wchar_t* className);
bool CreateMessageWindow(HINSTANCE instance, const wchar_t* className);
LRESULT CALLBACK MessageWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The dispatch table, for a request that passed the session gate.
void HandleKeywatchMessage(HWND window, WPARAM wparam, LPARAM lparam);
void LaunchAdapterWarning();
void LaunchMediaCentre();
void RunResumeFromSleep(HWND window);  // the resume exchange
