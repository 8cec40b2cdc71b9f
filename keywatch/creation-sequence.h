// The message window's creation handling as decisions: wait for fwbridge to run, then the
// startup sequence, padlink's start call, the listener thread and the first adapter check.
// CreationHost is implemented by the window shell and faked by the unit tests.
#pragma once

#include <atomic>
#include <cstdint>

enum class ServiceProbe {
  Unreachable,  // the Service Control Manager or fwbridge cannot be opened
  Running,
  NotRunning,   // installed, in any other state, or its status query failed
};

inline constexpr std::uint32_t kServicePollMs = 5000;

class CreationHost {
public:
  virtual ~CreationHost() = default;
  virtual void RegisterSessionNotifications() = 0;
  virtual ServiceProbe ProbeService() = 0;  // opens and closes fresh handles each time
  virtual void Pause(std::uint32_t ms) = 0;
  virtual void RunStartupSequence() = 0;
  virtual void StartKeyboardControl() = 0;  // padlink ordinal 1
  virtual void StartListener() = 0;
  virtual void SendAdapterCheck() = 0;      // synchronous firmware event 3 to itself
};

// Returns false when fwbridge could not be reached: the window then stays Idle.
// `listenerStop` is set while the wait lasts and cleared once fwbridge runs.
bool RunCreationHandling(CreationHost& host, std::atomic<bool>& listenerStop);
