// The firmware event listener thread: subscribes to kroBEvnt in ROOT\WMI and hands every
// event's ID to the message window as a synchronous WM_KEYWATCH wparam 1. The COM and WMI
// entry points come through ListenerPlatform so tests can drive this code with fakes.
#pragma once

#include <windows.h>
#include <wbemcli.h>

#include <cstdint>
#include <string>

class ListenerPlatform {
public:
  virtual ~ListenerPlatform() = default;
  virtual HRESULT InitializeCom() = 0;       // CoInitializeEx, multithreaded
  virtual HRESULT InitializeSecurity() = 0;  // CoInitializeSecurity
  virtual HRESULT CreateLocator(IWbemLocator** locator) = 0;
  virtual HRESULT SetProxyBlanket(IWbemServices* services) = 0;
  virtual void UninitializeCom() = 0;
  virtual bool StopRequested() = 0;
  // Synchronous WM_KEYWATCH wparam 1 with the event ID.
  virtual void ForwardEvent(std::uint32_t eventId) = 0;
  virtual void WriteConsoleLine(const std::string& line) = 0;
  // After a failed wait, so a broken enumerator cannot spin the thread.
  virtual void Pause(DWORD ms) = 0;
};

inline constexpr LONG kEventWaitMs = 1000;

// "Failed to initialize COM library. Error code = 0x" and the result in lower-case hex.
std::string ComFailureLine(HRESULT result);

// The listener on the given platform; 0 after a stop, 1 when a setup step failed.
DWORD RunEventListenerOn(ListenerPlatform& platform);
// The thread entry, on the real COM and the process-wide state.
DWORD WINAPI RunEventListener(void* unused);
