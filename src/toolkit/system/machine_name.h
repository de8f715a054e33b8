// Reading and setting the computer's name. Neither reads or changes the
// toolkit object's state; both let a failure of the system service itself
// reach the caller (none is expected: the service reports, it does not throw).
#pragma once

#include "base/text.h"
#include "platform/system_operations.h"

namespace kavrolin::toolkit::system {

// The computer's name as the system reports it through a 255-byte buffer in
// the ANSI code page, up to its first zero character; "(未知)" when the
// system cannot report it.
Text GetMachineName(platform::SystemOperations& system);

// Hands the ANSI form of strComputerName to the system, unchecked (a
// character the code page cannot hold goes as "?"): true when the system
// accepted it. When the new name takes effect is the system's affair.
bool SetMachineName(platform::SystemOperations& system, const Text& strComputerName);

}  // namespace kavrolin::toolkit::system
