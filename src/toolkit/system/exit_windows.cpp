#include "toolkit/system/exit_windows.h"

namespace kavrolin::toolkit::system {

Variant EnableShutdownPrivilege(platform::SystemOperations& system) {
  const platform::SystemHandle process = system.GetCurrentProcess();
  platform::SystemHandle token = 0;
  const bool opened = system.OpenProcessToken(
      process, platform::kTokenAdjustPrivileges | platform::kTokenQuery, token);
  // The outcomes are not looked at: a failed step leaves the next one to fail
  // on its own, and the request that follows is made either way.
  platform::Luid luid;
  system.LookupPrivilegeValue("", platform::kShutdownPrivilegeName, luid);
  platform::TokenPrivileges enable;
  enable.privilege_count = 1;
  enable.privileges[0] = {luid, platform::kSePrivilegeEnabled};
  platform::TokenPrivileges previous;
  uint32_t previous_length = 0;
  system.AdjustTokenPrivileges(token, false, enable, sizeof enable, previous, previous_length);
  if (opened) system.CloseHandle(token);
  return Variant();
}

Variant ExitWindows(platform::SystemOperations& system, int32_t ShutDownMode) {
  EnableShutdownPrivilege(system);
  system.ExitWindowsEx(static_cast<uint32_t>(ShutDownMode), 0);
  return Variant();
}

}  // namespace kavrolin::toolkit::system
