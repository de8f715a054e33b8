#include "base/local_time.h"

#include <cmath>
#include <cstdint>

namespace kavrolin {
namespace {

// Days from 1970-01-01 of a civil date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

constexpr int64_t kEpochOffset = 25569;  // 1970-01-01 as an automation date
constexpr int64_t kMsPerDay = 86400000;

}  // namespace

int DayOfWeek(const LocalTime& t) {
  const int64_t days = DaysFromCivil(t.year, t.month, t.day);
  // 1970-01-01 was a Thursday (5 when Sunday is 1).
  return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

int DayOfYear(const LocalTime& t) {
  // In 64 bits: out-of-range fields must not overflow.
  return static_cast<int>(DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(t.year, 1, 1) + 1);
}

double ToAutomationDate(const LocalTime& t) {
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) + kEpochOffset;
  const double fraction =
      ((t.hour * 60.0 + t.minute) * 60.0 + t.second + t.millisecond / 1000.0) / 86400.0;
  // Before 1899-12-30 the whole part counts back and the fraction forward.
  return days >= 0 ? static_cast<double>(days) + fraction
                   : static_cast<double>(days) - fraction;
}

LocalTime FromAutomationDate(double date) {
  double whole = std::trunc(date);
  double fraction = std::fabs(date - whole);
  auto ms = static_cast<int64_t>(std::llround(fraction * kMsPerDay));
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    whole += date >= 0 ? 1 : -1;
  }
  LocalTime t;
  CivilFromDays(static_cast<int64_t>(whole) - kEpochOffset, t.year, t.month, t.day);
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

}  // namespace kavrolin
