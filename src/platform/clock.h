// The local clock. Tests inject a fixed one.
#pragma once

#include "base/local_time.h"

namespace kavrolin::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time. Never fails.
  virtual LocalTime Now() = 0;
};

}  // namespace kavrolin::platform
