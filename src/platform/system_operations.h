// The operations on the machine itself that the toolkit asks for: the
// computer's name, the shutdown privilege of the process, log-off, shutdown
// and restart, and the screen-saver-running flag. Each operation stands for
// one platform function, takes that function's arguments and reports its
// outcome: true is the platform's non-zero success, false its refusal or
// failure. None throws.
//
// Names cross as bytes in the ANSI code page. Handles are opaque values that
// only this service gives out; 0 is no handle.
//
// One object may be used from one thread at a time. The settings it changes
// belong to the whole machine: callers in any process overwrite each other.
#pragma once

#include <cstdint>

namespace kavrolin::platform {

using SystemHandle = uintptr_t;

// The platform's locally unique identifier of a privilege.
struct Luid {
  uint32_t low_part = 0;
  int32_t high_part = 0;
};

struct LuidAndAttributes {
  Luid luid;
  uint32_t attributes = 0;
};

// The platform's privilege record with room for two entries: a 32-bit count,
// then two 12-byte entries, 28 bytes in all.
struct TokenPrivileges {
  uint32_t privilege_count = 0;
  LuidAndAttributes privileges[2] = {};
};
static_assert(sizeof(TokenPrivileges) == 28, "the platform's 28-byte privilege record");

// Access rights of a process token.
inline constexpr uint32_t kTokenAdjustPrivileges = 0x20;
inline constexpr uint32_t kTokenQuery = 0x08;
// Attribute of a privilege entry that enables it.
inline constexpr uint32_t kSePrivilegeEnabled = 2;
inline constexpr const char* kShutdownPrivilegeName = "SeShutdownPrivilege";

// Exit flags.
inline constexpr uint32_t kEwxLogoff = 0;
inline constexpr uint32_t kEwxShutdown = 1;
inline constexpr uint32_t kEwxReboot = 2;
inline constexpr uint32_t kEwxForce = 4;
inline constexpr uint32_t kEwxPowerOff = 8;
inline constexpr uint32_t kEwxForceIfHung = 0x10;

// System parameters: the screen-saver-running flag, and the update flag that
// keeps a setting beyond the session.
inline constexpr uint32_t kSpiSetScreenSaverRunning = 97;
inline constexpr uint32_t kSpifUpdateIniFile = 1;

class SystemOperations {
 public:
  virtual ~SystemOperations() = default;

  // GetComputerNameA. `size` is the buffer's size in bytes. When the name and
  // a terminating zero fit, writes both, sets `size` to the name's length and
  // answers true; otherwise sets `size` to the bytes needed, leaves the buffer
  // alone and answers false.
  virtual bool GetComputerName(char* buffer, uint32_t& size) = 0;

  // SetComputerNameA: true when the platform accepted the name.
  virtual bool SetComputerName(const char* name) = 0;

  // GetCurrentProcess: a handle of the calling process that needs no closing.
  virtual SystemHandle GetCurrentProcess() = 0;

  // OpenProcessToken: on success `token` holds a handle to close with
  // CloseHandle; on failure it is left as it was.
  virtual bool OpenProcessToken(SystemHandle process, uint32_t desired_access,
                                SystemHandle& token) = 0;

  // LookupPrivilegeValueA. An empty or null system name is the local system.
  virtual bool LookupPrivilegeValue(const char* system_name, const char* name, Luid& luid) = 0;

  // AdjustTokenPrivileges: enables or disables the privileges of `new_state`
  // (`buffer_length` bytes of it) in the token; the previous state of those
  // privileges goes to `previous_state` and its length to `return_length`.
  virtual bool AdjustTokenPrivileges(SystemHandle token, bool disable_all_privileges,
                                     const TokenPrivileges& new_state, uint32_t buffer_length,
                                     TokenPrivileges& previous_state,
                                     uint32_t& return_length) = 0;

  // CloseHandle of a handle this service gave out.
  virtual bool CloseHandle(SystemHandle handle) = 0;

  // ExitWindowsEx: true when the log-off, shutdown or restart was started;
  // this returns before it completes.
  virtual bool ExitWindowsEx(uint32_t flags, uint32_t reserved) = 0;

  // SystemParametersInfoA. For kSpiSetScreenSaverRunning: sets the flag to
  // running when `ui_param` is not 0 and clears it when it is; the previous
  // setting (1 or 0) goes to *pv_param when pv_param is not null. Actions it
  // does not know answer false.
  virtual bool SystemParametersInfo(uint32_t action, uint32_t ui_param, int32_t* pv_param,
                                    uint32_t win_ini) = 0;
};

}  // namespace kavrolin::platform
