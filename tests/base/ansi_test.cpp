#include "base/ansi.h"

#include <gtest/gtest.h>

#include <atomic>

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include "base/code_page_converter_iconv.h"
#endif

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
                      AnsiRow{"pinyin_in_936", 936, u"é", "\xA8\xA6"},
                      AnsiRow{"journal_line_936", 936, u"消费成功 卡号：6222000000000009    索引：1",
                              "\xCF\xFB\xB7\xD1\xB3\xC9\xB9\xA6 \xBF\xA8\xBA\xC5\xA3\xBA"
                              "6222000000000009    \xCB\xF7\xD2\xFD\xA3\xBA" "1"},
                      AnsiRow{"traditional_950", 950, u"消費", "\xAE\xF8\xB6\x4F"},
                      AnsiRow{"halfwidth_katakana_932", 932, u"ｶ", "\xB6"},
                      AnsiRow{"hangul_949", 949, u"한", "\xC7\xD1"},
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
      {"thai_between_chinese", 936, u"消ก费", "\xCF\xFB?\xB7\xD1"},
      {"pair_outside_bmp_between_chinese", 936, u"消\U0001F600费", "\xCF\xFB??\xB7\xD1"},
      {"lone_low_surrogate_after_chinese", 936, Text(u"消\xDC00" "A"), "\xCF\xFB?A"},
      {"hangul_in_950_after_chinese", 950, u"費한", "\xB6\x4F?"},
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
      {"lone_lead_byte_after_chinese_dropped", 936, u"消", "\xCF\xFB\xB7"},
      {"invalid_pair_then_ascii", 936, u"消? A", "\xCF\xFB\x81 A"},
      {"invalid_byte_between_chinese", 936, u"消?费", "\xCF\xFB\xFF\xB7\xD1"},
      {"lone_lead_byte_after_traditional_dropped", 950, u"費", "\xB6\x4F\xAE"},
      // The host's converter takes this refused pair whole: nothing is read past the end.
      {"refused_pair_taken_whole_at_end", 949, u"A?", "A\xA2\xE8"},
      // Its lead byte is refused and its trail read again: E8 42 is no pair either.
      {"refused_pair_taken_whole_then_ascii", 949, u"A??BC", "A\xA2\xE8" "BC"},
      {"refused_pair_taken_whole_then_pair", 949, u"?完", "\xA2\xE8\xC7\xD1"},
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

// Two threads on one code page at once, one of them with a character that
// takes the whole-string path; each gets its own answers every time.
TEST(AnsiCodec, ThreadsConvertAtOnce) {
  const struct {
    Text text;
    std::string bytes;
    Text back;
  } jobs[] = {
      {u"消费成功 卡号：6222000000000009",
       "\xCF\xFB\xB7\xD1\xB3\xC9\xB9\xA6 \xBF\xA8\xBA\xC5\xA3\xBA" "6222000000000009",
       u"消费成功 卡号：6222000000000009"},
      {u"刷卡ก 12.34", "\xCB\xA2\xBF\xA8? 12.34", u"刷卡? 12.34"},
  };
  int wrong[2] = {};
  // A spun start rather than std::latch: the MinGW build's atomic wait can
  // miss its wake-up under Wine and hang the test (the component uses none).
  std::atomic<int> arrived = 0;
  std::thread threads[2];
  for (int t = 0; t < 2; ++t) {
    threads[t] = std::thread([&, t] {
      const AnsiCodec codec(936);
      arrived.fetch_add(1);
      while (arrived.load() < 2) std::this_thread::yield();
      for (int i = 0; i < 2000; ++i) {
        if (codec.ToAnsi(jobs[t].text) != jobs[t].bytes) ++wrong[t];
        if (codec.FromAnsi(jobs[t].bytes) != jobs[t].back) ++wrong[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong[0], 0);
  EXPECT_EQ(wrong[1], 0);
}

#if !defined(_WIN32)
// The table against iconv over the whole string, for every unit, byte and
// pair of each code page that has one. The table must take exactly what iconv
// turns into one non-ASCII character (932 turns U+00A5 into the ASCII byte 5C,
// so that one is left to iconv), answer as iconv does for each, and still answer
// as iconv does when all of them stand in one string.
namespace cpc = code_page_converter;

constexpr int kTableCodePages[] = {932, 936, 949, 950};

TEST(CodePageTable, EveryUnitAsIconvAnswersIt) {
  for (const int code_page : kTableCodePages) {
    SCOPED_TRACE(code_page);
    const AnsiCodec codec(code_page);
    Text taken;
    for (uint32_t u = 0; u <= 0xFFFF; ++u) {
      const Text unit(1, static_cast<char16_t>(u));
      const std::string whole = cpc::IconvToCodePage(code_page, unit);
      const auto table = cpc::TableToCodePage(code_page, unit);
      const auto first = static_cast<unsigned char>(whole[0]);
      const bool one_character = u < 0x80 || (whole.size() == 1 && first >= 0x80) ||
                                 (whole.size() == 2 && codec.IsLeadByte(first));
      ASSERT_EQ(table.has_value(), one_character) << std::hex << u;
      if (!table) continue;
      ASSERT_EQ(*table, whole) << std::hex << u;
      taken += unit;
    }
    const auto table = cpc::TableToCodePage(code_page, taken);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(*table, cpc::IconvToCodePage(code_page, taken));
  }
}

TEST(CodePageTable, EveryByteAndPairAsIconvAnswersIt) {
  for (const int code_page : kTableCodePages) {
    SCOPED_TRACE(code_page);
    const AnsiCodec codec(code_page);
    std::string taken;
    auto check = [&](const std::string& bytes) {
      const Text whole = cpc::IconvFromCodePage(code_page, bytes);
      const auto table = cpc::TableFromCodePage(code_page, bytes);
      // A lone lead byte is dropped; an invalid byte or pair gives "?".
      const bool ascii = bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80;
      const bool one_character = ascii || (whole.size() == 1 && whole[0] >= 0x80 &&
                                           (whole[0] < 0xD800 || whole[0] > 0xDFFF));
      EXPECT_EQ(table.has_value(), one_character) << testing::PrintToString(bytes);
      if (!table) return;
      EXPECT_EQ(*table, whole) << testing::PrintToString(bytes);
      taken += bytes;
    };
    for (int b = 0; b < 0x100; ++b) {
      const std::string byte(1, static_cast<char>(b));
      check(byte);
      if (!codec.IsLeadByte(static_cast<unsigned char>(b))) continue;
      for (int trail = 0; trail < 0x100; ++trail) check(byte + static_cast<char>(trail));
    }
    const auto table = cpc::TableFromCodePage(code_page, taken);
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(*table, cpc::IconvFromCodePage(code_page, taken));
  }
}

TEST(CodePageTable, NoTableForOtherCodePages) {
  for (const int code_page : {1252, 65001}) {
    SCOPED_TRACE(code_page);
    EXPECT_FALSE(cpc::TableToCodePage(code_page, u"é").has_value());
    EXPECT_FALSE(cpc::TableFromCodePage(code_page, "\xE9").has_value());
  }
}
#endif

}  // namespace
}  // namespace kavrolin
