// What each WM_KEYWATCH request, session change, power broadcast and command does, as
// decisions over KeywatchHost, which the message window implements and the unit tests fake.
// Everything here runs on the message window's thread.
#pragma once

#include <cstdint>
#include <optional>

#include "keywatch/channel-core.h"

// wparam kinds of WM_KEYWATCH.
inline constexpr std::uint32_t kKindFirmwareEvent = 1;
inline constexpr std::uint32_t kKindBezelButton = 2;
inline constexpr std::uint32_t kKindHotkey = 3;
inline constexpr std::uint32_t kKindAdapterState = 4;
inline constexpr std::uint32_t kKindSwitchRequest = 5;
inline constexpr std::uint32_t kKindExternalEvent = 255;

// Firmware event 3, sent by the window to itself after creation and on unlock.
inline constexpr std::uint32_t kEventAdapterCheck = 3;

class KeywatchHost {
public:
  virtual ~KeywatchHost() = default;
  // Synchronous WM_KEYWATCH to the message window; it passes the gate again.
  virtual void SendSelf(std::uint32_t wparam, std::uint32_t lparam) = 0;
  virtual void ApplyOrientationBit() = 0;
  virtual void RotateDisplay(int target) = 0;
  virtual void RunButtonAction(int kind, std::uint32_t number) = 0;
  virtual void LaunchAdapterWarning() = 0;
  virtual void LaunchMediaCentre() = 0;
  virtual std::optional<std::uint8_t> QueryDataByte(DataRefresh refresh) = 0;
  virtual void RefreshDataValue(DataRefresh refresh) = 0;
  virtual void SendControlCode(std::uint32_t code) = 0;  // no answer awaited
  virtual void RunExchange(std::uint32_t code, Disposition disposition) = 0;
  virtual bool IsCommandType32SwitchOn() = 0;
};

// The dispatch table; the caller has already let the request through the session gate.
void HandleKeywatchRequest(KeywatchHost& host, std::uint32_t wparam, std::uint32_t lparam);
// Resume from sleep: the bezel-button exchange, then code 128.
void RunResumeExchange(KeywatchHost& host);

// WM_WTSSESSION_CHANGE.
enum class SessionReaction { Activate, Deactivate, None };
SessionReaction ReactToSessionChange(std::uint32_t wparam);

// WM_COMMAND by command identifier (the low word of wparam).
enum class CommandReaction { Ignore, Exit, Default };
CommandReaction ReactToCommand(std::uint32_t wparam);
inline constexpr std::uint32_t kCommandIgnored = 104;
inline constexpr std::uint32_t kCommandExit = 105;

// WM_POWERBROADCAST: only the automatic resume does anything.
bool IsResumeBroadcast(std::uint32_t wparam);
