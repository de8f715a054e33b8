#include "base/ansi.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kavrolin {
namespace {

struct AnsiRow {
  const char* label;
  int code_page;
  Text text;
  std::string bytes;
};

class AnsiRoundTrip : public ::testing::TestWithParam<AnsiRow> {};

TEST_P(AnsiRoundTrip, ConvertsBothWays) {
  const AnsiRow& row = GetParam();
  const AnsiCodec codec(row.code_page);
  EXPECT_EQ(codec.ToAnsi(row.text), row.bytes);
  EXPECT_EQ(codec.FromAnsi(row.bytes), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnsiRoundTrip,
    ::testing::Values(AnsiRow{"empty", 936, u"", ""},
                      AnsiRow{"ascii", 936, u"05 12.34 A1", "05 12.34 A1"},
                      AnsiRow{"embedded_nul", 936, Text(u"a\0b", 3), std::string("a\0b", 3)},
                      AnsiRow{"chinese", 936, u"消费", "\xCF\xFB\xB7\xD1"},
                      AnsiRow{"mixed", 936, u"A消1", "A\xCF\xFB" "1"},
                      AnsiRow{"euro_sign_in_936", 936, u"€", "\x80"},
                      AnsiRow{"western_1252", 1252, u"café", "caf\xE9"},
                      AnsiRow{"utf8_65001", 65001, u"消", "\xE6\xB6\x88"}),
    [](const auto& info) { return std::string(info.param.label); });

struct OneWayRow {
  const char* label;
  int code_page;
  Text text;
  std::string bytes;
};

TEST(AnsiCodec, UnrepresentableCharactersBecomeQuestionMarks) {
  const OneWayRow rows[] = {
      {"thai_in_936", 936, u"aกb", "a?b"},
      {"chinese_in_1252", 1252, u"x消", "x?"},
      {"pair_outside_bmp_one_mark_per_unit", 936, u"\U0001F600", "??"},
      {"lone_high_surrogate", 936, Text(u"a\xD800" "b"), "a?b"},
      {"lone_surrogate_at_end", 936, Text(u"a\xD800"), "a?"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(AnsiCodec(row.code_page).ToAnsi(row.text), row.bytes);
  }
}

TEST(AnsiCodec, BytesBackToText) {
  const OneWayRow rows[] = {
      {"lone_lead_byte_at_end_dropped", 936, u"A", "A\xCF"},
      {"only_a_lead_byte", 936, u"", "\xCF"},
      {"invalid_byte_marked", 936, u"A?B", "A\xFF" "B"},
      {"lead_byte_then_ascii_is_a_pair", 936, u"A螦B", "A\xCF\x41" "B"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(AnsiCodec(row.code_page).FromAnsi(row.bytes), row.text);
  }
}

TEST(AnsiCodec, ChineseCharacterTakesTwoBytesAsciiOne) {
  const AnsiCodec codec(936);
  EXPECT_EQ(codec.ToAnsi(u"收银员A").size(), 7u);
}

// Lead bytes as the platform's IsDBCSLeadByteEx judges them: 932 leads only
// in 81-9F and E0-FC (A1-DF are single-byte katakana), the Chinese page in
// 81-FE; UTF-8 and the single-byte pages have none.
TEST(AnsiCodec, LeadBytesOfEachCodePage) {
  const struct {
    const char* label;
    int code_page;
    unsigned char byte;
    bool lead;
  } rows[] = {
      {"936_ascii", 936, 0x41, false},          {"936_euro_sign_80", 936, 0x80, false},
      {"936_first_lead_81", 936, 0x81, true},   {"936_last_lead_fe", 936, 0xFE, true},
      {"936_ff", 936, 0xFF, false},             {"932_first_lead_81", 932, 0x81, true},
      {"932_lead_9f", 932, 0x9F, true},         {"932_a0", 932, 0xA0, false},
      {"932_katakana_b1", 932, 0xB1, false},    {"932_katakana_df", 932, 0xDF, false},
      {"932_lead_e0", 932, 0xE0, true},         {"932_last_lead_fc", 932, 0xFC, true},
      {"932_fd", 932, 0xFD, false},             {"1252_81", 1252, 0x81, false},
      {"1252_e4", 1252, 0xE4, false},           {"65001_two_byte_start", 65001, 0xC3, false},
      {"65001_three_byte_start", 65001, 0xE4, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(AnsiCodec(row.code_page).IsLeadByte(row.byte), row.lead);
  }
}

TEST(AnsiCodec, UnknownCodePageIsRefused) {
  EXPECT_THROW(AnsiCodec(4242), std::invalid_argument);
}

}  // namespace
}  // namespace kavrolin
