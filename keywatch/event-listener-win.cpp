// The firmware event listener: COM and WMI set-up, the event loop, and the release of every
// interface it obtained, in reverse order, before COM is uninitialised.
#include "keywatch/event-listener-win.h"

#include <oleauto.h>

#include <cstdio>
#include <optional>

#include "common/com-owner-win.h"
#include "keywatch/keywatch-state-win.h"

namespace {

std::optional<std::uint32_t> ReadEventId(IWbemClassObject* event, orvo::ScopedVariant& property) {
  VARIANT* slot = property.put();
  HRESULT result = E_OUTOFMEMORY;
  {
    const orvo::ScopedBstr name(L"EventID");
    if (name) result = event->Get(name.get(), 0, slot, nullptr, nullptr);
  }
  if (FAILED(result)) return std::nullopt;
  switch (V_VT(property.get())) {
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT: return static_cast<std::uint32_t>(V_I4(property.get()));
    default: return std::nullopt;  // not a 32-bit integer: nothing sensible to forward
  }
}

void RunEventLoop(ListenerPlatform& platform, IEnumWbemClassObject* events) {
  orvo::ScopedVariant property;
  while (!platform.StopRequested()) {
    orvo::ComOwner<IWbemClassObject> event;
    ULONG returned = 0;
    const HRESULT result = events->Next(kEventWaitMs, 1, event.put(), &returned);
    if (result == WBEM_S_TIMEDOUT) continue;
    if (FAILED(result) || returned != 1 || !event.get()) {
      platform.Pause(kEventWaitMs);
      continue;
    }
    if (const auto id = ReadEventId(event.get(), property)) platform.ForwardEvent(*id);
  }
}

// Everything after COM initialisation; the caller uninitialises COM whatever this returns.
DWORD ListenWithCom(ListenerPlatform& platform) {
  if (FAILED(platform.InitializeSecurity())) return 1;
  orvo::ComOwner<IWbemLocator> locator;
  if (FAILED(platform.CreateLocator(locator.put())) || !locator.get()) return 1;
  orvo::ComOwner<IWbemServices> services;
  {
    const orvo::ScopedBstr space(L"ROOT\\WMI");
    if (!space) return 1;
    if (FAILED(locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.put())) ||
        !services.get()) {
      return 1;
    }
  }
  if (FAILED(platform.SetProxyBlanket(services.get()))) return 1;
  orvo::ComOwner<IEnumWbemClassObject> events;
  {
    const orvo::ScopedBstr language(L"WQL");
    const orvo::ScopedBstr query(L"SELECT * FROM kroBEvnt");
    if (!language || !query) return 1;
    const HRESULT result = services->ExecNotificationQuery(language.get(), query.get(),
                                                           WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY,
                                                           nullptr, events.put());
    if (FAILED(result) || !events.get()) return 1;
  }
  RunEventLoop(platform, events.get());
  return 0;
}

class ComListenerPlatform final : public ListenerPlatform {
public:
  HRESULT InitializeCom() override { return ::CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
  HRESULT InitializeSecurity() override {
    return ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  }
  HRESULT CreateLocator(IWbemLocator** locator) override {
    return ::CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              reinterpret_cast<void**>(locator));
  }
  HRESULT SetProxyBlanket(IWbemServices* services) override {
    return ::CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  }
  void UninitializeCom() override { ::CoUninitialize(); }
  bool StopRequested() override { return gListenerStop.load(); }
  void ForwardEvent(std::uint32_t eventId) override {
    ::SendMessageW(gMessageWindow.load(), KeywatchMessageId(), 1, static_cast<LPARAM>(eventId));
  }
  void WriteConsoleLine(const std::string& line) override {
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
  }
  void Pause(DWORD ms) override { ::Sleep(ms); }
};

}  // namespace

std::string ComFailureLine(HRESULT result) {
  char line[80];
  std::snprintf(line, sizeof line, "Failed to initialize COM library. Error code = 0x%lx\n",
                static_cast<unsigned long>(static_cast<std::uint32_t>(result)));
  return line;
}

DWORD RunEventListenerOn(ListenerPlatform& platform) {
  const HRESULT result = platform.InitializeCom();
  if (FAILED(result)) {
    platform.WriteConsoleLine(ComFailureLine(result));
    return 1;
  }
  const DWORD exitCode = ListenWithCom(platform);
  platform.UninitializeCom();
  return exitCode;
}

DWORD WINAPI RunEventListener(void*) {
  ComListenerPlatform platform;
  return RunEventListenerOn(platform);
}
