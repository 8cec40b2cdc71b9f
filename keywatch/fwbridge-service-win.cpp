// Service control of fwbridge through the Service Control Manager.
#include <windows.h>
#include <winsvc.h>

#include "common/scoped-handle.h"
#include "keywatch/fwbridge-service.h"

namespace {

constexpr DWORD kServiceAccess = SERVICE_QUERY_STATUS | SERVICE_INTERROGATE | SERVICE_USER_DEFINED_CONTROL;

// Members are destroyed service first, then manager.
struct OpenedService {
  orvo::ScopedServiceHandle manager;
  orvo::ScopedServiceHandle service;
};

bool OpenFwbridge(OpenedService& opened) {
  opened.manager.reset(::OpenSCManagerW(nullptr, nullptr, GENERIC_READ));
  if (!opened.manager) return false;
  opened.service.reset(::OpenServiceW(opened.manager.get(), L"fwbridge", kServiceAccess));
  return static_cast<bool>(opened.service);
}

void CloseInOrder(OpenedService& opened) {
  opened.service.reset();
  opened.manager.reset();
}

bool IsRunning(SC_HANDLE service, SERVICE_STATUS& status) {
  return ::QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
}

}  // namespace

ServiceProbe ProbeFwbridge() {
  OpenedService opened;
  if (!OpenFwbridge(opened)) return ServiceProbe::Unreachable;
  SERVICE_STATUS status = {};
  const bool running = IsRunning(opened.service.get(), status);
  CloseInOrder(opened);
  return running ? ServiceProbe::Running : ServiceProbe::NotRunning;
}

bool DeliverFwbridgeCode(std::uint32_t code) {
  OpenedService opened;
  if (!OpenFwbridge(opened)) return false;
  SERVICE_STATUS status = {};
  const bool delivered = IsRunning(opened.service.get(), status) && ::ControlService(opened.service.get(), code, &status);
  CloseInOrder(opened);
  return delivered;
}
