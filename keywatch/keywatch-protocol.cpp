// The dispatch table of WM_KEYWATCH and the reactions of the message window to session
// changes, power broadcasts and commands.
#include "keywatch/keywatch-protocol.h"

namespace {

constexpr int kActionBezelButton = 1;
constexpr int kActionHotkey = 2;

void HandleFirmwareEvent(KeywatchHost& host, std::uint32_t event) {
  switch (event) {
    case 1: host.ApplyOrientationBit(); break;
    case kEventAdapterCheck:
      if (const auto state = host.QueryDataByte(kRefreshAdapterState)) host.SendSelf(kKindAdapterState, *state);
      break;
    case 4: host.RunExchange(kCodeBezelButton, Disposition::BezelButton()); break;
    case 5: host.RefreshDataValue(kRefreshEvent5); break;
    case 7: host.SendSelf(kKindSwitchRequest, host.IsCommandType32SwitchOn() ? 0 : 1); break;
    default: break;
  }
}

void HandleExternalEvent(KeywatchHost& host, std::uint32_t code) {
  switch (code) {
    case 0x01250001: host.RotateDisplay(0); break;
    case 0x01260001: host.RotateDisplay(1); break;
    case 0x01270001: host.RotateDisplay(2); break;
    case 0x01280001: host.RotateDisplay(3); break;
    case 0x41010001:
    case 0xC1010001: host.RunExchange(kCodeHotkey, Disposition::Hotkey()); break;
    case 0x41420001:
    case 0xC1420001: host.LaunchMediaCentre(); break;
    default: break;
  }
}

}  // namespace

void HandleKeywatchRequest(KeywatchHost& host, std::uint32_t wparam, std::uint32_t lparam) {
  switch (wparam) {
    case kKindFirmwareEvent: HandleFirmwareEvent(host, lparam); break;
    case kKindBezelButton: host.RunButtonAction(kActionBezelButton, lparam); break;
    case kKindHotkey: host.RunButtonAction(kActionHotkey, lparam); break;
    case kKindAdapterState:
      if (lparam == 2 || lparam == 3) host.LaunchAdapterWarning();
      break;
    case kKindSwitchRequest:
      if (lparam == 0) host.SendControlCode(kCodeSwitchOn);
      if (lparam == 1) host.SendControlCode(kCodeSwitchOff);
      break;
    case kKindExternalEvent: HandleExternalEvent(host, lparam); break;
    default: break;
  }
}

void RunResumeExchange(KeywatchHost& host) {
  host.RunExchange(kCodeBezelButton, Disposition::BezelButton());
  host.SendControlCode(kCodeStart);
}

SessionReaction ReactToSessionChange(std::uint32_t wparam) {
  switch (wparam) {
    case 1:  // WTS_CONSOLE_CONNECT
    case 8:  // WTS_SESSION_UNLOCK
      return SessionReaction::Activate;
    case 2:  // WTS_CONSOLE_DISCONNECT
    case 7:  // WTS_SESSION_LOCK
      return SessionReaction::Deactivate;
    default: return SessionReaction::None;
  }
}

CommandReaction ReactToCommand(std::uint32_t wparam) {
  switch (wparam & 0xFFFF) {
    case kCommandIgnored: return CommandReaction::Ignore;
    case kCommandExit: return CommandReaction::Exit;
    default: return CommandReaction::Default;
  }
}

bool IsResumeBroadcast(std::uint32_t wparam) { return wparam == 18; }  // PBT_APMRESUMEAUTOMATIC
