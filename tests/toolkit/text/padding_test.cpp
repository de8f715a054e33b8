#include "toolkit/text/padding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "support/error_of.h"

namespace kavrolin::toolkit::text {
namespace {

using kavrolin::testing::ErrorOf;

TEST(FormatStrLn, FillsToWidth) {
  const struct {
    const char* label;
    Text in;
    int32_t width;
    Text fill;
    bool right;
    Text expected;
    Text fill_after;
  } rows[] = {
      {"empty_text_zero_width", u"", 0, u" ", true, u"", u" "},
      {"omitted_width_is_zero", u"12", 0, u" ", true, u"12", u" "},
      {"negative_width", u"12", -5, u"xyz", true, u"12", u"xyz"},
      {"lowest_width", u"12", std::numeric_limits<int32_t>::min(), u"", true, u"12", u""},
      {"width_equals_length_untouched", u"12", 2, u"xyz", true, u"12", u"xyz"},
      {"longer_text_not_cut", u"123456", 5, u" ", true, u"123456", u" "},
      {"one_short", u"12", 3, u" ", true, u" 12", u" "},
      {"empty_text_filled", u"", 3, u"-", false, u"---", u"-"},
      {"right_align_default_blank", u"12", 5, u" ", true, u"   12", u" "},
      {"fill_zero", u"12", 5, u"0", true, u"00012", u"0"},
      {"left_align", u"12", 5, u" ", false, u"12   ", u" "},
      {"fill_cut_to_first_unit", u"12", 5, u"xyz", true, u"xxx12", u"x"},
      {"empty_fill_becomes_blank", u"12", 5, u"", true, u"   12", u" "},
      {"width_counts_units_not_bytes", u"中文", 4, u"*", true, u"**中文", u"*"},
      {"chinese_fill", u"ab", 4, u"中国", false, u"ab中中", u"中"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text fill = row.fill;
    EXPECT_EQ(FormatStrLn(row.in, row.width, fill, row.right), row.expected);
    EXPECT_EQ(fill, row.fill_after);
  }
}

TEST(FormatStrLn, WidthCap) {
  const struct {
    const char* label;
    int32_t width;
    int error;
  } rows[] = {
      {"at_cap", kMaxPaddedWidth, 0},
      {"one_beyond_cap", kMaxPaddedWidth + 1, 7},
      {"highest_width", std::numeric_limits<int32_t>::max(), 7},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text fill = u"ab";
    Text result;
    EXPECT_EQ(ErrorOf([&] { result = FormatStrLn(u"12", row.width, fill, false); }), row.error);
    EXPECT_EQ(fill, u"a");
    if (row.error == 0) {
      ASSERT_EQ(result.size(), static_cast<size_t>(row.width));
      EXPECT_EQ(result.substr(0, 2), u"12");
      EXPECT_EQ(result.find_first_not_of(u'a', 2), Text::npos);
    }
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::text
