#include "platform/win32/clock.h"

namespace kavrolin::platform::win32 {

LocalTime LocalTimeOf(const SYSTEMTIME& time) {
  LocalTime t;
  t.year = time.wYear;
  t.month = time.wMonth;
  t.day = time.wDay;
  t.hour = time.wHour;
  t.minute = time.wMinute;
  t.second = time.wSecond;
  t.millisecond = time.wMilliseconds;
  return t;
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalTimeOf(now);
}

}  // namespace kavrolin::platform::win32
