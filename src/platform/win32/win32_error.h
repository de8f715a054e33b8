// The one translator from Windows error codes (GetLastError) to the
// automation errors of the file services.
#pragma once

#include <cstdint>

#include "base/automation_error.h"

namespace kavrolin::platform::win32 {

// What a missing item (ERROR_FILE_NOT_FOUND) means to the caller.
enum class Missing { kFile, kFolder };

ErrorNumber TranslateWin32Error(uint32_t error, Missing missing = Missing::kFile);
[[noreturn]] void ThrowWin32Error(uint32_t error, Missing missing = Missing::kFile);
// The calling thread's last error.
[[noreturn]] void ThrowLastError(Missing missing = Missing::kFile);

}  // namespace kavrolin::platform::win32
