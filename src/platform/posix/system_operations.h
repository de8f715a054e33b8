// SystemOperations on POSIX, with the nearest Linux facilities:
//
// - the computer name is the host name (gethostname / sethostname), its
//   bytes taken as UTF-8 and handed over in the ANSI code page;
// - the privilege steps have nothing to do on POSIX and report success; the
//   lookup knows the shutdown privilege of the local system only;
// - log-off, shutdown and restart are systemd's: `loginctl terminate-session`
//   of the caller's session, `systemctl poweroff`, `systemctl reboot`;
// - the screen-saver-running flag lives in the prefix (screen_saver_flag.h).
//
// Guard: the operations that change the machine (renaming it, log-off,
// shutdown, restart) act only when the environment holds
// KAVROLIN_ALLOW_SHUTDOWN=1, read at each call; otherwise they are refused
// (false) without touching anything. The flag is the prefix's own and is
// not guarded.
#pragma once

#include <memory>
#include <string_view>

#include "platform/file_system.h"
#include "platform/posix/prefix.h"
#include "platform/posix/screen_saver_flag.h"
#include "platform/system_operations.h"

namespace kavrolin::platform::posix {

// The platform's rule for a new computer name, as ANSI bytes: 1 to 15
// characters, each an ASCII letter or digit or one of ! @ # $ % ^ & ' ) ( . -
// _ { } ~. A character the code page could not hold arrives as "?" and is
// refused like any other outside the set.
bool AcceptableComputerName(std::string_view ansi_name);

// True when KAVROLIN_ALLOW_SHUTDOWN is exactly "1".
bool MachineChangesAllowed();

class PosixSystemOperations : public SystemOperations {
 public:
  PosixSystemOperations(std::shared_ptr<const Prefix> prefix, std::shared_ptr<FileSystem> files);

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

 private:
  ScreenSaverFlag screen_saver_;
};

}  // namespace kavrolin::platform::posix
