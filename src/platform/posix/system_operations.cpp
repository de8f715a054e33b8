#include "platform/posix/system_operations.h"

#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/text.h"

extern char** environ;

namespace kavrolin::platform::posix {
namespace {

// The platform numbers its privileges; the shutdown privilege is 19.
constexpr Luid kShutdownPrivilegeLuid{19, 0};
// GetCurrentProcess's pseudo-handle, and the token the no-op hands out.
constexpr SystemHandle kCurrentProcess = ~SystemHandle{0};
constexpr SystemHandle kProcessToken = 1;

constexpr size_t kMaxComputerNameLength = 15;
constexpr std::string_view kNameSymbols = "!@#$%^&')(.-_{}~";

// Runs a program found through PATH and waits for it: true when it exited
// with status 0. The tools used start the change and return, as the platform
// call does.
bool Run(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  return waited == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool AcceptableComputerName(std::string_view ansi_name) {
  if (ansi_name.empty() || ansi_name.size() > kMaxComputerNameLength) return false;
  for (const char c : ansi_name) {
    const bool alphanumeric =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alphanumeric && kNameSymbols.find(c) == std::string_view::npos) return false;
  }
  return true;
}

bool MachineChangesAllowed() {
  const char* allow = std::getenv("KAVROLIN_ALLOW_SHUTDOWN");
  return allow != nullptr && std::strcmp(allow, "1") == 0;
}

PosixSystemOperations::PosixSystemOperations(std::shared_ptr<const Prefix> prefix,
                                             std::shared_ptr<FileSystem> files)
    : screen_saver_(std::move(prefix), std::move(files)) {}

bool PosixSystemOperations::GetComputerName(char* buffer, uint32_t& size) {
  char host[HOST_NAME_MAX + 1] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return false;
  const std::string name = ToAnsi(FromUtf8(host));
  if (buffer == nullptr || name.size() + 1 > size) {
    size = static_cast<uint32_t>(name.size() + 1);
    return false;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  size = static_cast<uint32_t>(name.size());
  return true;
}

bool PosixSystemOperations::SetComputerName(const char* name) {
  if (name == nullptr || !AcceptableComputerName(name)) return false;
  if (!MachineChangesAllowed()) return false;
  // An acceptable name is ASCII: its ANSI bytes are its host-name bytes.
  return ::sethostname(name, std::strlen(name)) == 0;
}

SystemHandle PosixSystemOperations::GetCurrentProcess() { return kCurrentProcess; }

bool PosixSystemOperations::OpenProcessToken(SystemHandle process, uint32_t desired_access,
                                             SystemHandle& token) {
  token = kProcessToken;
  return true;
}

bool PosixSystemOperations::LookupPrivilegeValue(const char* system_name, const char* name,
                                                 Luid& luid) {
  if (system_name != nullptr && *system_name != '\0') return false;  // no remote systems here
  if (name == nullptr || !EqualsIgnoreCase(FromUtf8(name), FromUtf8(kShutdownPrivilegeName))) {
    return false;
  }
  luid = kShutdownPrivilegeLuid;
  return true;
}

bool PosixSystemOperations::AdjustTokenPrivileges(SystemHandle token, bool disable_all_privileges,
                                                  const TokenPrivileges& new_state,
                                                  uint32_t buffer_length,
                                                  TokenPrivileges& previous_state,
                                                  uint32_t& return_length) {
  // Nothing was held back before, so the previous state lists no privilege.
  previous_state = TokenPrivileges{};
  return_length = sizeof previous_state.privilege_count;
  return true;
}

bool PosixSystemOperations::CloseHandle(SystemHandle handle) { return true; }

bool PosixSystemOperations::ExitWindowsEx(uint32_t flags, uint32_t reserved) {
  if (!MachineChangesAllowed()) return false;
  // systemd never forces hung programs; the force flags change nothing else.
  switch (flags & ~(kEwxForce | kEwxForceIfHung)) {
    case kEwxLogoff: {
      // "self" is the session the request comes from.
      const char* session = std::getenv("XDG_SESSION_ID");
      return Run({"loginctl", "terminate-session", session && *session ? session : "self"});
    }
    case kEwxShutdown:
    case kEwxPowerOff:
    case kEwxShutdown | kEwxPowerOff:
      return Run({"systemctl", "--no-block", "poweroff"});
    case kEwxReboot:
      return Run({"systemctl", "--no-block", "reboot"});
    default:
      return false;
  }
}

bool PosixSystemOperations::SystemParametersInfo(uint32_t action, uint32_t ui_param,
                                                 int32_t* pv_param, uint32_t win_ini) {
  if (action != kSpiSetScreenSaverRunning) return false;
  // The file is the flag's only home, so every change lasts, with or without
  // kSpifUpdateIniFile.
  const bool previous = screen_saver_.Running();
  if (!screen_saver_.Set(ui_param != 0)) return false;
  if (pv_param != nullptr) *pv_param = previous ? 1 : 0;
  return true;
}

}  // namespace kavrolin::platform::posix
