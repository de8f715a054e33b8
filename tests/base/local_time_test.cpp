#include "base/local_time.h"

#include <gtest/gtest.h>

namespace kavrolin {
namespace {

TEST(AutomationDate, RoundTrips) {
  const struct {
    const char* label;
    LocalTime time;
    double date;
  } rows[] = {
      {"day_zero", {1899, 12, 30, 0, 0, 0, 0}, 0},
      {"first_of_1900", {1900, 1, 1, 0, 0, 0, 0}, 2},
      {"noon", {2024, 1, 31, 12, 0, 0, 0}, 45322.5},
      {"before_day_zero_fraction_forward", {1899, 12, 29, 6, 0, 0, 0}, -1.25},
      {"leap_day", {2024, 2, 29, 0, 0, 0, 0}, 45351},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_DOUBLE_EQ(ToAutomationDate(row.time), row.date);
    EXPECT_EQ(FromAutomationDate(row.date), row.time);
  }
}

TEST(AutomationDate, CalendarFacts) {
  EXPECT_EQ(DayOfWeek({2007, 11, 20, 0, 0, 0, 0}), 3);  // a Tuesday
  EXPECT_EQ(DayOfWeek({2023, 1, 1, 0, 0, 0, 0}), 1);    // a Sunday
  EXPECT_EQ(DayOfYear({2024, 12, 31, 0, 0, 0, 0}), 366);
  EXPECT_EQ(DayOfYear({2023, 3, 1, 0, 0, 0, 0}), 60);
}

}  // namespace
}  // namespace kavrolin
