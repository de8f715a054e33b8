// The key lock: the system's screen-saver-running flag, set to hold back the
// task-switching and secure-attention key combinations on systems that honour
// it, and cleared again. Neither operation reads or changes the toolkit
// object's state; calling either again makes the same request again.
#pragma once

#include "platform/system_operations.h"

namespace kavrolin::toolkit::system {

// Sets the flag to running (all 32 bits set), keeping the change beyond the
// session. True when the system took the request.
bool LockFunction(platform::SystemOperations& system);

// Clears the flag, keeping the change beyond the session. True when the
// system took the request.
bool UnLockFunction(platform::SystemOperations& system);

}  // namespace kavrolin::toolkit::system
