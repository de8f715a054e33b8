#include "toolkit/scramble/encode_string.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kavrolin::toolkit::scramble {
namespace {

TEST(EncodeStringTest, FlipsTheLowFourBitsOfEachCode) {
  const struct {
    const char* label;
    Text pString;
    int32_t pSeed;
    Text expected;
  } rows[] = {
      // Boundaries of the seed's range first.
      {"empty text", u"", 7, u""},
      {"lowest seed kept: -32768 flips nothing", u"ABC", -32768, u"ABC"},
      {"below the range becomes 23", u"A", -32769, u"F"},
      {"highest seed kept: 65535 flips all four", u"A", 65535, u"N"},
      {"above the range becomes 23", u"A", 65536, u"F"},
      {"largest seed becomes 23", u"A", 2147483647, u"F"},
      {"smallest seed becomes 23", u"A", -2147483647 - 1, u"F"},
      // The documented seeds.
      {"seed 7", u"ABC", 7, u"FED"},
      {"seed 23", u"ABC", 23, u"FED"},
      {"seed -9", u"ABC", -9, u"FED"},
      {"seed 16 changes nothing", u"ABC", 16, u"ABC"},
      {"seed 0 changes nothing", u"ABC", 0, u"ABC"},
      // Codes.
      {"NUL becomes the seed's low bits", Text(1, u'\0'), 5, Text(1, u'\x05')},
      {"a code equal to the low bits becomes NUL", Text(1, u'\x05'), 5, Text(1, u'\0')},
      {"DEL stays below 128", u"\x7f", 15, u"p"},
      {"chinese trail byte", u"中", 1, u"盅"},  // D6 D0 -> D6 D1
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Variant got = EncodeString(row.pString, row.pSeed);
    EXPECT_EQ(got.type(), VariantType::kText);
    EXPECT_EQ(got, Variant(row.expected));
  }
}

TEST(EncodeStringTest, SameSeedTwiceRestores) {
  Text all_ascii;
  for (char16_t c = 0; c < 0x80; ++c) all_ascii += c;
  for (const int32_t seed : {1, 7, 15, -1, 65536, 100000}) {
    SCOPED_TRACE(seed);
    const Text once = EncodeString(all_ascii, seed).ToText();
    EXPECT_EQ(EncodeString(once, seed), Variant(all_ascii));
  }
  EXPECT_EQ(EncodeString(EncodeString(u"消费成功", 3).ToText(), 3), Variant(u"消费成功"));
}

}  // namespace
}  // namespace kavrolin::toolkit::scramble
