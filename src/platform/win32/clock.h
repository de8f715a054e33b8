// The local clock on Windows (GetLocalTime).
#pragma once

#include "platform/win32/windows_api.h"

#include "platform/clock.h"

namespace kavrolin::platform::win32 {

LocalTime LocalTimeOf(const SYSTEMTIME& time);

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace kavrolin::platform::win32
