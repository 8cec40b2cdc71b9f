// The state that the message window, the command channel and the listener thread share.
// The window handle is written once before the listener starts; the flags are atomics
// because the exit command and the listener read and write them from different threads.
#pragma once

#include <windows.h>

#include <atomic>

extern std::atomic<bool> gSessionActive;   // gate of WM_KEYWATCH; window thread only
extern std::atomic<bool> gListenerStop;    // set by the exit command, read by the listener
extern std::atomic<HWND> gMessageWindow;   // target of every WM_KEYWATCH the service sends

// RegisterWindowMessageW(L"WM_KEYWATCH"), asked once per process.
UINT KeywatchMessageId();
