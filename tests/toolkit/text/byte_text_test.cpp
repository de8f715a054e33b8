#include "toolkit/text/byte_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "support/error_of.h"
#include "toolkit/text/double_byte.h"

namespace kavrolin::toolkit::text {
namespace {

using kavrolin::testing::ErrorOf;

// "中文abc" in code page 936: D6 D0 | CE C4 | 61 62 63.
const Text kMixed = u"中文abc";

struct HLeftRow {
  const char* label;
  Text in;
  int32_t len;
  Text expected;
  bool double_byte;
};

class HLeftTest : public ::testing::TestWithParam<HLeftRow> {};

TEST_P(HLeftTest, CutsByAnsiBytes) {
  const HLeftRow& row = GetParam();
  KAVROLIN_SKIP_UNLESS_CHINESE_CODE_PAGE(row.double_byte);
  const Text result = HLeft(row.in, row.len);
  EXPECT_EQ(result, row.expected);
  // Whatever the cut, the result is a whole-character prefix of the input.
  EXPECT_EQ(ToAnsi(row.in).compare(0, ToAnsi(result).size(), ToAnsi(result)), 0);
  if (row.len >= 0) {
    EXPECT_LE(ToAnsi(result).size(), static_cast<size_t>(row.len));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HLeftTest,
    ::testing::Values(
        HLeftRow{"empty_text", u"", 3, u"", false},
        HLeftRow{"zero_bytes", u"abc", 0, u"", false},
        HLeftRow{"minus_one_keeps_all", u"abc", -1, u"abc", false},
        HLeftRow{"lowest_length_keeps_all", u"abc", std::numeric_limits<int32_t>::min(), u"abc",
                 false},
        HLeftRow{"highest_length_keeps_all", u"abc", std::numeric_limits<int32_t>::max(), u"abc",
                 false},
        HLeftRow{"exact_length", u"abc", 3, u"abc", false},
        HLeftRow{"beyond_length", u"abc", 10, u"abc", false},
        HLeftRow{"ascii_cut", u"abc", 2, u"ab", false},
        HLeftRow{"mixed_0", kMixed, 0, u"", true},
        HLeftRow{"mixed_1_lone_lead_byte_dropped", kMixed, 1, u"", true},
        HLeftRow{"mixed_2", kMixed, 2, u"中", true},
        HLeftRow{"mixed_3_lone_lead_byte_dropped", kMixed, 3, u"中", true},
        HLeftRow{"mixed_4", kMixed, 4, u"中文", true},
        HLeftRow{"mixed_5", kMixed, 5, u"中文a", true},
        HLeftRow{"mixed_6", kMixed, 6, u"中文ab", true},
        HLeftRow{"mixed_7_exact", kMixed, 7, u"中文abc", true},
        HLeftRow{"mixed_8_beyond", kMixed, 8, u"中文abc", true},
        HLeftRow{"mixed_negative", kMixed, -1, u"中文abc", true},
        HLeftRow{"ascii_then_chinese_odd_cut", u"a中b", 2, u"a", true},
        HLeftRow{"unrepresentable_becomes_question_mark", u"a\u0E01b", 10, u"a?b", true},
        HLeftRow{"negative_goes_through_code_page", u"\u0E01", -1, u"?", true}),
    [](const auto& info) { return std::string(info.param.label); });

struct ToBytesRow {
  const char* label;
  Text in;
  bool has_bounds;
  std::vector<uint8_t> items;
  bool double_byte;
};

class ConverStrToByteTest : public ::testing::TestWithParam<ToBytesRow> {};

TEST_P(ConverStrToByteTest, LeadingZeroThenAnsiBytes) {
  const ToBytesRow& row = GetParam();
  KAVROLIN_SKIP_UNLESS_CHINESE_CODE_PAGE(row.double_byte);
  const ByteArray result = ConverStrToByte(row.in);
  EXPECT_EQ(result.has_bounds, row.has_bounds);
  EXPECT_EQ(result.items, row.items);
  if (row.has_bounds) {
    EXPECT_EQ(result.lbound, 0);
    EXPECT_EQ(result.ubound(), static_cast<int32_t>(ToAnsi(row.in).size()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConverStrToByteTest,
    ::testing::Values(ToBytesRow{"empty_has_no_bounds", u"", false, {}, false},
                      ToBytesRow{"one_byte", u"A", true, {0, 65}, false},
                      ToBytesRow{"ab", u"AB", true, {0, 65, 66}, false},
                      ToBytesRow{"nul_inside", Text(u"a\0b", 3), true, {0, 97, 0, 98}, false},
                      ToBytesRow{"chinese", u"中a", true, {0, 0xD6, 0xD0, 0x61}, true},
                      ToBytesRow{"unrepresentable", u"\u0E01", true, {0, '?'}, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ConverStrToByteLimit, OverflowsFrom32767Bytes) {
  const struct {
    const char* label;
    Text in;
    int error;
    bool double_byte;
  } rows[] = {
      {"ascii_32766_bytes", Text(32766, u'a'), 0, false},
      {"ascii_32767_bytes", Text(32767, u'a'), 6, false},
      {"ascii_far_beyond", Text(100000, u'a'), 6, false},
      {"chinese_32766_bytes", Text(16383, u'中'), 0, true},
      {"chinese_32767_bytes", Text(16383, u'中') + u"a", 6, true},
      {"chinese_32768_bytes_in_16384_units", Text(16384, u'中'), 6, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (row.double_byte && !testing::SystemCodePageIsChinese()) continue;
    ByteArray result;
    EXPECT_EQ(ErrorOf([&] { result = ConverStrToByte(row.in); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(result.items.size(), 32767u);
      EXPECT_EQ(result.ubound(), 32766);
    }
  }
}

TEST(ConverByteToStr, ReadsEveryElementAsOneByteRun) {
  const struct {
    const char* label;
    ByteArray in;
    Text expected;
    int error;
    bool double_byte;
  } rows[] = {
      {"without_bounds", ByteArray::WithoutBounds(), u"", 9, false},
      {"bounds_but_no_items", ByteArray{true, 0, {}}, u"", 0, false},
      {"leading_zero_kept", ByteArray{true, 0, {0, 65, 66}}, Text(u"\0AB", 3), 0, false},
      {"zero_inside_does_not_end", ByteArray{true, 0, {65, 0, 66}}, Text(u"A\0B", 3), 0, false},
      {"own_lower_bound_ignored", ByteArray{true, -3, {97, 98}}, u"ab", 0, false},
      {"chinese", ByteArray{true, 1, {0xD6, 0xD0, 0xCE, 0xC4}}, u"中文", 0, true},
      {"lone_lead_byte_at_end_dropped", ByteArray{true, 0, {0xD6, 0xD0, 0xCE}}, u"中", 0, true},
      {"lead_byte_before_zero", ByteArray{true, 0, {0xD6, 0, 65}}, Text(u"?\0A", 3), 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (row.double_byte && !testing::SystemCodePageIsChinese()) continue;
    Text result;
    EXPECT_EQ(ErrorOf([&] { result = ConverByteToStr(row.in); }), row.error);
    EXPECT_EQ(result, row.expected);
  }
}

TEST(ConverByteToStr, RoundTripPrependsNul) {
  const struct {
    const char* label;
    Text in;
    bool double_byte;
  } rows[] = {
      {"one_unit", u"x", false},
      {"ascii", u"05 12.34", false},
      {"chinese_mixed", u"收银 A1 消费", true},
      {"longest", Text(32766, u'z'), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (row.double_byte && !testing::SystemCodePageIsChinese()) continue;
    EXPECT_EQ(ConverByteToStr(ConverStrToByte(row.in)), Text(1, u'\0') + row.in);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::text
