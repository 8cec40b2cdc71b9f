// Creation handling of the message window, in its fixed order.
#include "keywatch/creation-sequence.h"

bool RunCreationHandling(CreationHost& host, std::atomic<bool>& listenerStop) {
  host.RegisterSessionNotifications();
  listenerStop.store(true);
  while (listenerStop.load()) {
    switch (host.ProbeService()) {
      case ServiceProbe::Unreachable: return false;
      case ServiceProbe::Running: listenerStop.store(false); break;
      case ServiceProbe::NotRunning: host.Pause(kServicePollMs); break;
    }
  }
  host.RunStartupSequence();
  host.StartKeyboardControl();
  host.StartListener();
  host.SendAdapterCheck();
  return true;
}
