// LocalTime: a broken-down local date and time, as the clock hands it out and
// the date masks format it. Also the automation date (days since 1899-12-30,
// time as the fraction of a day) that a date variant carries.
#pragma once

#include <compare>

namespace kavrolin {

struct LocalTime {
  int year = 1899;
  int month = 12;   // 1..12
  int day = 30;     // 1..31
  int hour = 0;     // 0..23
  int minute = 0;   // 0..59
  int second = 0;   // 0..59
  int millisecond = 0;

  auto operator<=>(const LocalTime&) const = default;
};

// Day of the week, 1 = Sunday .. 7 = Saturday (proleptic Gregorian).
int DayOfWeek(const LocalTime& t);
// Day of the year, 1 = 1 January.
int DayOfYear(const LocalTime& t);

// Automation date <-> broken-down time. The conversion to a date rounds to the
// nearest millisecond; negative dates count whole days back and the fraction
// forward, as automation dates do.
double ToAutomationDate(const LocalTime& t);
LocalTime FromAutomationDate(double date);

}  // namespace kavrolin
