// Log-off, shutdown and restart of the system, with the privilege step the
// request needs. Neither reads or changes the toolkit object's state. The
// answer never tells whether the system accepted the request.
#pragma once

#include <cstdint>

#include "base/variant.h"
#include "platform/system_operations.h"

namespace kavrolin::toolkit::system {

// Enables the shutdown privilege of the process: takes the process's token
// (adjust and query access), looks up the privilege on the local system and
// enables it with a one-entry, 28-byte privilege record. Every step runs
// whatever the earlier ones reported; the token is closed when it was opened.
// Answers the empty variant.
Variant EnableShutdownPrivilege(platform::SystemOperations& system);

// Runs EnableShutdownPrivilege, then asks the system to end the session
// with ShutDownMode as the exit flags, unchanged (0 log-off, 1 shutdown,
// 2 restart; no force flag is added, other values pass as they are) and 0 as
// the reserved argument. Answers the empty variant, accepted or not.
Variant ExitWindows(platform::SystemOperations& system, int32_t ShutDownMode);

}  // namespace kavrolin::toolkit::system
