// The one translator from errno values to the platform's automation errors.
#pragma once

#include "base/automation_error.h"

namespace kavrolin::platform::posix {

// What a missing item (ENOENT) means to the caller.
enum class Missing { kFile, kFolder };

ErrorNumber TranslateErrno(int err, Missing missing = Missing::kFile);
[[noreturn]] void ThrowErrno(int err, Missing missing = Missing::kFile);

}  // namespace kavrolin::platform::posix
