// Creation handling against a scripted service: the wait, the Idle state and the order of
// the steps once fwbridge runs.
#include "keywatch/creation-sequence.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

struct FakeCreation : CreationHost {
  std::deque<ServiceProbe> probes;
  std::vector<std::string> calls;
  std::atomic<bool>* stop = nullptr;
  std::vector<bool> stopSeenAtProbe;

  void RegisterSessionNotifications() override { calls.push_back("sessions"); }
  ServiceProbe ProbeService() override {
    calls.push_back("probe");
    stopSeenAtProbe.push_back(stop->load());
    const ServiceProbe p = probes.front();
    if (probes.size() > 1) probes.pop_front();
    return p;
  }
  void Pause(std::uint32_t ms) override { calls.push_back("pause " + std::to_string(ms)); }
  void RunStartupSequence() override { calls.push_back("startup"); }
  void StartKeyboardControl() override { calls.push_back("padlink-start"); }
  void StartListener() override { calls.push_back("listener"); }
  void SendAdapterCheck() override { calls.push_back("adapter-check"); }
};

using Calls = std::vector<std::string>;

TEST(Creation, ScenariosOfTheServiceWait) {
  const struct {
    const char* name;
    std::deque<ServiceProbe> probes;
    bool created;
    Calls expected;
    bool stopAfter;
  } rows[] = {
      {"not installed", {ServiceProbe::Unreachable}, false, {"sessions", "probe"}, true},
      {"running", {ServiceProbe::Running}, true,
       {"sessions", "probe", "startup", "padlink-start", "listener", "adapter-check"}, false},
      {"stopped then running",
       {ServiceProbe::NotRunning, ServiceProbe::NotRunning, ServiceProbe::Running},
       true,
       {"sessions", "probe", "pause 5000", "probe", "pause 5000", "probe", "startup", "padlink-start", "listener",
        "adapter-check"},
       false},
      {"stopped then removed", {ServiceProbe::NotRunning, ServiceProbe::Unreachable}, false,
       {"sessions", "probe", "pause 5000", "probe"}, true},
  };
  for (const auto& row : rows) {
    FakeCreation host;
    std::atomic<bool> stop{false};
    host.stop = &stop;
    host.probes = row.probes;
    EXPECT_EQ(RunCreationHandling(host, stop), row.created) << row.name;
    EXPECT_EQ(host.calls, row.expected) << row.name;
    EXPECT_EQ(stop.load(), row.stopAfter) << row.name;
    for (bool seen : host.stopSeenAtProbe) EXPECT_TRUE(seen) << row.name << ": the flag is set while waiting";
  }
}

}  // namespace
