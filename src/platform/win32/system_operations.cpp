#include "platform/win32/system_operations.h"

#include "platform/win32/windows_api.h"

namespace kavrolin::platform::win32 {
namespace {

HANDLE AsHandle(SystemHandle handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

// The platform's privilege record and ours are the same bytes.
static_assert(sizeof(TokenPrivileges) == sizeof(DWORD) + 2 * sizeof(LUID_AND_ATTRIBUTES));

bool Win32SystemOperations::GetComputerName(char* buffer, uint32_t& size) {
  DWORD n = size;
  const BOOL ok = ::GetComputerNameA(buffer, &n);
  size = n;
  return ok != FALSE;
}

bool Win32SystemOperations::SetComputerName(const char* name) {
  return ::SetComputerNameA(name) != FALSE;
}

SystemHandle Win32SystemOperations::GetCurrentProcess() {
  return reinterpret_cast<SystemHandle>(::GetCurrentProcess());
}

bool Win32SystemOperations::OpenProcessToken(SystemHandle process, uint32_t desired_access,
                                             SystemHandle& token) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(AsHandle(process), desired_access, &opened)) return false;
  token = reinterpret_cast<SystemHandle>(opened);
  return true;
}

bool Win32SystemOperations::LookupPrivilegeValue(const char* system_name, const char* name,
                                                 Luid& luid) {
  LUID value{};
  const char* system = system_name != nullptr && *system_name != '\0' ? system_name : nullptr;
  if (!::LookupPrivilegeValueA(system, name, &value)) return false;
  luid.low_part = value.LowPart;
  luid.high_part = value.HighPart;
  return true;
}

bool Win32SystemOperations::AdjustTokenPrivileges(SystemHandle token, bool disable_all_privileges,
                                                  const TokenPrivileges& new_state,
                                                  uint32_t buffer_length,
                                                  TokenPrivileges& previous_state,
                                                  uint32_t& return_length) {
  TokenPrivileges state = new_state;  // the function takes a writable record
  DWORD returned = 0;
  const BOOL ok = ::AdjustTokenPrivileges(
      AsHandle(token), disable_all_privileges ? TRUE : FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&state),
      buffer_length, reinterpret_cast<PTOKEN_PRIVILEGES>(&previous_state), &returned);
  return_length = returned;
  return ok != FALSE;
}

bool Win32SystemOperations::CloseHandle(SystemHandle handle) {
  return ::CloseHandle(AsHandle(handle)) != FALSE;
}

bool Win32SystemOperations::ExitWindowsEx(uint32_t flags, uint32_t reserved) {
  return ::ExitWindowsEx(flags, reserved) != FALSE;
}

bool Win32SystemOperations::SystemParametersInfo(uint32_t action, uint32_t ui_param,
                                                 int32_t* pv_param, uint32_t win_ini) {
  // Only the setting the toolkit changes goes through: the others would
  // reach machine settings the service does not stand for.
  if (action != kSpiSetScreenSaverRunning) return false;
  return ::SystemParametersInfoA(action, ui_param, pv_param, win_ini) != FALSE;
}

}  // namespace kavrolin::platform::win32
