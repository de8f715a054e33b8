#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

namespace kavrolin {
namespace {

TEST(Utf8, RoundTripsEveryPlane) {
  const Text samples[] = {u"", u"abc", u"收银", u"\U0001F600x", Text(u"a\0b", 3),
                          u"C:/YHLOG/收银/x.txt", u"x\U0001F600", u"\x7F\x80"};
  for (const Text& t : samples) {
    SCOPED_TRACE(ToUtf8(t));
    EXPECT_EQ(FromUtf8(ToUtf8(t)), t);
  }
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  const struct {
    const char* label;
    std::string bytes;
    Text text;
  } rows[] = {
      {"truncated_sequence_at_end", "a\xE6\xB6", u"a\uFFFD\uFFFD"},
      {"stray_continuation", "\x80z", u"\uFFFDz"},
      {"overlong_slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"encoded_surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(FromUtf8(row.bytes), row.text);
  }
  EXPECT_EQ(ToUtf8(Text(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
  // A run of ASCII first, then the rest converted as ever.
  EXPECT_EQ(ToUtf8(u"ab\u00E9" + Text(1, char16_t(0xD800))), "ab\xC3\xA9\xEF\xBF\xBD");
  EXPECT_EQ(FromUtf8("ab\xC3\xA9\x80"), u"ab\u00E9\uFFFD");
}

// The run ends at the first unit of 0x80 or more, wherever it falls in the
// blocks the run is looked at in; a NUL is ASCII.
TEST(AsciiRun, EndsAtTheFirstUnitPastAscii) {
  for (const size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 32u, 33u, 40u}) {
    for (size_t at = 0; at <= length; ++at) {
      SCOPED_TRACE(std::to_string(length) + " units, the other at " + std::to_string(at));
      Text text(length, u'a');
      std::string bytes(length, '\0');
      if (at < length) {
        text[at] = at % 2 ? u'\x80' : u'费';
        bytes[at] = '\xFF';
      }
      EXPECT_EQ(AsciiRun(text), at);
      EXPECT_EQ(AsciiRun(bytes), at);
    }
  }
}

}  // namespace
}  // namespace kavrolin
