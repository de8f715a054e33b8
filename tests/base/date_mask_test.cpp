#include "base/date_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace kavrolin {
namespace {

const LocalTime kTuesday{2007, 11, 20, 14, 5, 9, 0};

TEST(FormatDateMask, Tokens) {
  const struct {
    const char* label;
    Text mask;
    Text text;
  } rows[] = {
      {"empty", u"", u""},
      {"default_file_mask", u"YYYYMMDDHHMM", u"200711201405"},
      {"journal_stamp", u"yyyy-MM-dd HH:mm:ss", u"2007-11-20 14:05:09"},
      {"log_stamp_upper", u"YYYY-MM-DD HH:MM:SS", u"2007-11-20 14:05:09"},
      {"day_file", u"YYYYMMDD", u"20071120"},
      {"minutes_after_hour", u"HH:MM", u"14:05"},
      {"month_after_day", u"DD/MM/YYYY", u"20/11/2007"},
      {"literals_between_tokens_keep_hour_rule", u"hh-x-mm", u"14-x-05"},
      {"single_letters", u"m/d/yy h:n:s", u"11/20/07 14:5:9"},
      {"day_of_year", u"y", u"324"},
      {"quarter_and_weekday", u"q w", u"4 3"},
      {"week_of_year", u"ww", u"47"},
      {"backslash_copies", u"\\Y\\M", u"YM"},
      {"quoted_text", u"\"Date\" yyyy", u"Date 2007"},
      {"other_characters_copied", u"[yyyy]", u"[2007]"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(FormatDateMask(kTuesday, row.mask), row.text);
  }
}

TEST(FormatDateMask, WeekNumbersAtYearEdges) {
  const struct {
    const char* label;
    LocalTime time;
    Text week;
  } rows[] = {
      {"first_day_is_week_one", {2022, 1, 1, 0, 0, 0, 0}, u"1"},    // a Saturday
      {"next_sunday_starts_week_two", {2022, 1, 2, 0, 0, 0, 0}, u"2"},
      {"year_starting_sunday", {2023, 1, 1, 0, 0, 0, 0}, u"1"},
      {"last_day_of_2022", {2022, 12, 31, 0, 0, 0, 0}, u"53"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(FormatDateMask(row.time, u"ww"), row.week);
  }
}

TEST(AppendTimeStamp, WritesWhatTheTimeStampMaskWrites) {
  const LocalTime rows[] = {
      kTuesday,
      {2024, 1, 31, 0, 0, 0, 999},
      {1999, 12, 31, 23, 59, 59, 0},
      {999, 1, 2, 3, 4, 5, 0},      // a year of three digits is filled to four
      {12345, 10, 10, 10, 10, 10, 0},  // and one of five is written whole
      {-1, 1, 1, 0, 0, 0, 0},
      {1899, 12, 30, 0, 0, 0, 0},
      {0, 0, 0, 0, 0, 0, 0},
      {9999, 99, 99, 99, 99, 99, 0},
      {2024, 100, 1, 0, 0, 0, 0},  // fields past two digits are written whole
      {2024, 1, 1, 0, -5, 0, 0},
  };
  for (const LocalTime& time : rows) {
    SCOPED_TRACE(time.year);
    const Text stamp = FormatDateMask(time, kTimeStampMask);
    std::string appended = "x";
    AppendTimeStamp(appended, time);
    EXPECT_EQ(appended, "x" + std::string(stamp.begin(), stamp.end()));
  }
}

}  // namespace
}  // namespace kavrolin
