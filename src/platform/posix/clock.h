// The system's local clock (the process's time zone).
#pragma once

#include <ctime>

#include "platform/clock.h"

namespace kavrolin::platform::posix {

// The local broken-down time of a moment, in the process's time zone.
LocalTime LocalTimeOf(time_t seconds, int millisecond = 0);

// Each thread converts a second to local time once: a caller asking again
// within the same second (a journal written in a loop) reuses the conversion.
class PosixClock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace kavrolin::platform::posix
