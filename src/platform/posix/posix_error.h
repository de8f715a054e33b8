// The one translator from errno values to what the platform reports: the
// automation errors of file services and the IP statuses of echo requests.
#pragma once

#include <cstdint>

#include "base/automation_error.h"

namespace kavrolin::platform::posix {

// What a missing item (ENOENT) means to the caller.
enum class Missing { kFile, kFolder };

ErrorNumber TranslateErrno(int err, Missing missing = Missing::kFile);
[[noreturn]] void ThrowErrno(int err, Missing missing = Missing::kFile);

// The IP status (platform/echo.h) an echo reports when the system refuses
// its send or receive with `err`.
uint32_t IpStatusOfErrno(int err);

}  // namespace kavrolin::platform::posix
