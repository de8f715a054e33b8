#include "platform/posix/clock.h"

#include <ctime>

namespace kavrolin::platform::posix {

LocalTime LocalTimeOf(time_t seconds, int millisecond) {
  struct tm tm {};
  ::localtime_r(&seconds, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.millisecond = millisecond;
  return t;
}

LocalTime PosixClock::Now() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  // The zone's rules cannot change within a second.
  thread_local struct {
    time_t seconds = -1;
    LocalTime time;
  } last;
  if (now.tv_sec != last.seconds) {
    last.time = LocalTimeOf(now.tv_sec);
    last.seconds = now.tv_sec;
  }
  LocalTime time = last.time;
  time.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  return time;
}

}  // namespace kavrolin::platform::posix
