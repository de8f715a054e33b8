// The system's local clock (the process's time zone).
#pragma once

#include <ctime>

#include "platform/clock.h"

namespace kavrolin::platform::posix {

// The local broken-down time of a moment, in the process's time zone.
LocalTime LocalTimeOf(time_t seconds, int millisecond = 0);

class PosixClock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace kavrolin::platform::posix
