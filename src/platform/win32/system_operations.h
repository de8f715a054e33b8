// SystemOperations on Windows: each operation is the Windows function of its
// name (GetComputerNameA, SetComputerNameA, GetCurrentProcess,
// OpenProcessToken, LookupPrivilegeValueA, AdjustTokenPrivileges,
// CloseHandle, ExitWindowsEx, SystemParametersInfoA) with its arguments
// passed through. Handles are the Windows handle values.
#pragma once

#include "platform/system_operations.h"

namespace kavrolin::platform::win32 {

class Win32SystemOperations : public SystemOperations {
 public:
  bool GetComputerName(char* buffer, uint32_t& size) override;
  bool SetComputerName(const char* name) override;
  SystemHandle GetCurrentProcess() override;
  bool OpenProcessToken(SystemHandle process, uint32_t desired_access,
                        SystemHandle& token) override;
  bool LookupPrivilegeValue(const char* system_name, const char* name, Luid& luid) override;
  bool AdjustTokenPrivileges(SystemHandle token, bool disable_all_privileges,
                             const TokenPrivileges& new_state, uint32_t buffer_length,
                             TokenPrivileges& previous_state, uint32_t& return_length) override;
  bool CloseHandle(SystemHandle handle) override;
  bool ExitWindowsEx(uint32_t flags, uint32_t reserved) override;
  bool SystemParametersInfo(uint32_t action, uint32_t ui_param, int32_t* pv_param,
                            uint32_t win_ini) override;
};

}  // namespace kavrolin::platform::win32
