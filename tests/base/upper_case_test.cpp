#include "base/upper_case.h"

#include <gtest/gtest.h>

namespace kavrolin {
namespace {

TEST(UpperCaseTest, MapsEachUnitToItsCapital) {
  const struct {
    const char* label;
    char16_t in, out;
  } rows[] = {
      // Boundaries of every range first.
      {"NUL", 0x00, 0x00},
      {"before a", u'`', u'`'},
      {"a", u'a', u'A'},
      {"z", u'z', u'Z'},
      {"after z", u'{', u'{'},
      {"capital stays", u'Q', u'Q'},
      {"digit stays", u'7', u'7'},
      {"a grave", 0xE0, 0xC0},
      {"division sign stays", 0xF7, 0xF7},
      {"thorn", 0xFE, 0xDE},
      {"y diaeresis", 0xFF, 0x178},
      {"sharp s has no one-unit capital", 0xDF, 0xDF},
      {"a macron", 0x101, 0x100},
      {"A macron stays", 0x100, 0x100},
      {"dotless i stays", 0x131, 0x131},
      {"l acute (odd capitals)", 0x13A, 0x139},
      {"n caron", 0x148, 0x147},
      {"eng", 0x14B, 0x14A},
      {"y circumflex", 0x177, 0x176},
      {"z caron", 0x17E, 0x17D},
      {"alpha", 0x3B1, 0x391},
      {"final sigma", 0x3C2, 0x3A3},
      {"omega", 0x3C9, 0x3A9},
      {"alpha tonos", 0x3AC, 0x386},
      {"epsilon tonos", 0x3AD, 0x388},
      {"omicron tonos", 0x3CC, 0x38C},
      {"omega tonos", 0x3CE, 0x38F},
      {"cyrillic a", 0x430, 0x410},
      {"cyrillic ya", 0x44F, 0x42F},
      {"cyrillic io", 0x451, 0x401},
      {"full-width a", 0xFF41, 0xFF21},
      {"full-width z", 0xFF5A, 0xFF3A},
      {"full-width digit stays", 0xFF10, 0xFF10},
      {"chinese stays", u'中', u'中'},
      {"high surrogate stays", 0xD83D, 0xD83D},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(UpperCaseUnit(row.in), row.out);
  }
}

TEST(UpperCaseTest, TextKeepsItsLength) {
  EXPECT_EQ(UpperCase(u""), u"");
  EXPECT_EQ(UpperCase(u"0f a\u00e9\u4e2d"), u"0F A\u00c9\u4e2d");
  EXPECT_EQ(UpperCase(Text(u"a\0b", 3)), Text(u"A\0B", 3));
}

}  // namespace
}  // namespace kavrolin
