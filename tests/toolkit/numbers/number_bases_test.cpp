#include "toolkit/numbers/number_bases.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "fakes/fake_message_box.h"
#include "support/error_of.h"

namespace kavrolin::toolkit::numbers {
namespace {

using kavrolin::testing::ErrorOf;
using kavrolin::testing::FakeMessageBox;
using Texts = std::vector<Text>;

const Text kNotBinary = u"NOT A BINARY NUMBER";
const Text kOnlyWhole = u"Only Whole Numbers can be converted";
const Text kNothingGiven = u"Nothing Given..";
const Text kNotHex = u"Number given is not in Hex format";
const Text kScrewedUp = u"Something is Screwed up, Wahhhhhhhhhhh";

Text Repeat(TextView unit, size_t times) {
  Text out;
  for (size_t i = 0; i < times; ++i) out += unit;
  return out;
}

TEST(NumberBasesTest, EveryMessageIsCaptionedWithTheComponentsTitle) {
  FakeMessageBox box;
  Text bad = u"2";
  Bin2Dec(box, bad);
  double half = 0.5;
  Dec2Bin(box, half);
  ASSERT_EQ(box.messages.size(), 2u);
  EXPECT_EQ(box.messages[0], (FakeMessageBox::Message{u"Kavrolin", kNotBinary}));
  EXPECT_EQ(box.messages[1], (FakeMessageBox::Message{u"Kavrolin", kOnlyWhole}));
}

TEST(NumberBasesTest, Bin2Dec) {
  const struct {
    const char* label;
    Text in;
    double expected;
    Texts messages;
  } rows[] = {
      // Boundaries first.
      {"empty text is 0 without a message", u"", 0, {}},
      {"one zero", u"0", 0, {}},
      {"one one", u"1", 1, {}},
      {"32,767 zeros", Text(32767, u'0'), 0, {}},
      {"highest power that fits", u"1" + Text(1023, u'0'), std::ldexp(1.0, 1023), {}},
      {"a long run of zeros before a one", Text(5000, u'0') + u"1", 1, {}},
      // The documented rows.
      {"1011", u"1011", 11, {}},
      {"leading zeros", u"0000", 0, {}},
      {"not binary", u"102", 0, {kNotBinary}},
      // More.
      {"eight ones", u"11111111", 255, {}},
      {"53 ones stay exact", Text(53, u'1'), 9007199254740991.0, {}},
      {"blank", u" 1", 0, {kNotBinary}},
      {"sign", u"-1", 0, {kNotBinary}},
      {"full-width one", u"\uff11", 0, {kNotBinary}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    EXPECT_EQ(Bin2Dec(box, row.in), row.expected);
    EXPECT_EQ(box.texts(), row.messages);
  }
}

TEST(NumberBasesTest, Bin2DecOverflows) {
  const struct {
    const char* label;
    Text in;
  } rows[] = {
      {"a one with 1,024 digits after it", u"1" + Text(1024, u'0')},
      {"1,024 ones sum past the largest double", Text(1024, u'1')},
      {"32,768 digits", Text(32768, u'0')},
      {"32,768 characters that are no digits: no message first", Text(32768, u'x')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    Text in = row.in;
    EXPECT_EQ(ErrorOf([&] { Bin2Dec(box, in); }), 6);
    EXPECT_TRUE(box.messages.empty());
  }
}

TEST(NumberBasesTest, Dec2Bin) {
  const struct {
    const char* label;
    double in;
    Text expected;
    Texts messages;
  } rows[] = {
      // Boundaries first.
      {"zero", 0, u"0", {}},
      {"negative zero", -0.0, u"0", {}},
      {"one", 1, u"1", {}},
      {"half", 0.5, u"", {kOnlyWhole}},
      {"negative half", -0.5, u"", {kOnlyWhole}},
      // The documented rows.
      {"six", 6, u"110", {}},
      {"two", 2, u"10", {}},
      {"two and a half", 2.5, u"", {kOnlyWhole}},
      {"negative odd gives one digit", -5, u"1", {}},
      {"negative even gives one digit", -4, u"0", {}},
      // More.
      {"255", 255, u"11111111", {}},
      {"256", 256, u"100000000", {}},
      {"2e14 + 1 converts exactly", 200000000000001.0, u"101101011110011000100000111101001000000000000001", {}},
      {"1e15, in exponent form without a point", 1e15,
       u"11100011010111111010100100110001101000000000000000", {}},
      {"2^53 shows a point in its 15-digit form", 9007199254740992.0, u"", {kOnlyWhole}},
      {"a fraction the 15-digit form hides", 123456789012345.6,
       u"11100000100100010000110000011011101111101111001", {}},
      {"a tiny value in exponent form", 1e-5, u"0", {}},
      {"a tiny value with a point", 1.5e-5, u"", {kOnlyWhole}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    EXPECT_EQ(Dec2Bin(box, row.in), row.expected);
    EXPECT_EQ(box.texts(), row.messages);
  }
}

TEST(NumberBasesTest, Dec2BinOfHugeWholeNumbersIsExact) {
  // Values whose 15-digit form shows no point, so the check lets them through.
  for (const double value : {1e300, 2e307, 5e200, 1e16}) {
    SCOPED_TRACE(value);
    FakeMessageBox box;
    double in = value;
    Text digits = Dec2Bin(box, in);
    EXPECT_TRUE(box.messages.empty());
    ASSERT_FALSE(digits.empty());
    EXPECT_EQ(Bin2Dec(box, digits), value);
  }
}

TEST(NumberBasesTest, Dec2BinOfInfinityOrNanIsOverflow) {
  for (const double value : {std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(value);
    FakeMessageBox box;
    double in = value;
    EXPECT_EQ(ErrorOf([&] { Dec2Bin(box, in); }), 6);
    EXPECT_TRUE(box.messages.empty());
  }
}

TEST(NumberBasesTest, Bin2Hex) {
  const struct {
    const char* label;
    Text in;
    Text expected;
    Texts messages;
  } rows[] = {
      // Boundaries first.
      {"empty text", u"", u"", {kNothingGiven}},
      {"one zero", u"0", u"0", {}},
      {"longest text", Text(32767, u'1'), u"7" + Text(8191, u'F'), {}},
      // The documented rows.
      {"one", u"1", u"1", {}},
      {"five digits", u"10000", u"10", {}},
      {"leading zeros stay", u"00001", u"01", {}},
      {"eight ones", u"11111111", u"FF", {}},
      // More.
      {"padding of two", u"10", u"2", {}},
      {"padding of three", u"110", u"6", {}},
      {"whole groups", u"10100101", u"A5", {}},
      {"every digit", u"0000000100100011010001010110011110001001101010111100110111101111",
       u"0123456789ABCDEF", {}},
      {"not binary", u"1021", u"", {kNotBinary}},
      {"hex letters are no binary", u"A", u"", {kNotBinary}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    EXPECT_EQ(Bin2Hex(box, row.in), row.expected);
    EXPECT_EQ(box.texts(), row.messages);
  }
  FakeMessageBox box;
  Text too_long(32768, u'1');
  EXPECT_EQ(ErrorOf([&] { Bin2Hex(box, too_long); }), 6);
  EXPECT_TRUE(box.messages.empty());
}

TEST(NumberBasesTest, Hex2Bin) {
  const struct {
    const char* label;
    Text in;
    Text expected;
    Text written_back;
    Texts messages;
  } rows[] = {
      // Boundaries first.
      {"empty text", u"", u"", u"", {}},
      {"zero", u"0", u"0000", u"0", {}},
      {"longest text", Text(32767, u'f'), Repeat(u"1111", 32767), Text(32767, u'F'), {}},
      // The documented rows.
      {"lower case is accepted and written back", u"0f", u"00001111", u"0F", {}},
      {"not hex", u"G1", u"", u"G1", {kNotHex}},
      // More.
      {"every digit", u"0123456789abcdef",
       u"0000000100100011010001010110011110001001101010111100110111101111", u"0123456789ABCDEF", {}},
      {"lower-case non-hex letter", u"g", u"", u"G", {kNotHex}},
      {"blank", u"1 2", u"", u"1 2", {kNotHex}},
      {"sign", u"-1", u"", u"-1", {kNotHex}},
      {"full-width letter is put in capitals but is no digit", u"\uff41", u"", u"\uff21", {kNotHex}},
      {"full-width digit passes the check but has no value", u"1\uff12" u"3", u"00010011",
       u"1\uff12" u"3", {kScrewedUp}},
      {"two full-width digits, two messages", u"\uff10\uff11", u"", u"\uff10\uff11",
       {kScrewedUp, kScrewedUp}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    Text in = row.in;
    EXPECT_EQ(Hex2Bin(box, in), row.expected);
    EXPECT_EQ(box.texts(), row.messages);
    EXPECT_EQ(in, row.written_back);
  }
}

TEST(NumberBasesTest, Hex2Dec) {
  const struct {
    const char* label;
    Text in;
    double expected;
    Text written_back;
    Texts messages;
  } rows[] = {
      // Boundaries first.
      {"empty text", u"", 0, u"", {}},
      {"zero", u"0", 0, u"0", {}},
      {"256 digits fit", u"1" + Text(255, u'0'), std::ldexp(1.0, 1020), u"1" + Text(255, u'0'), {}},
      // The documented rows.
      {"ff", u"ff", 255, u"FF", {}},
      {"100", u"100", 256, u"100", {}},
      // More.
      {"eight Fs", u"FFFFFFFF", 4294967295.0, u"FFFFFFFF", {}},
      {"mixed case", u"aBc", 2748, u"ABC", {}},
      {"not hex", u"G1", 0, u"G1", {kNotHex}},
      {"not hex beats a length past 256", u"G" + Text(300, u'0'), 0, u"G" + Text(300, u'0'), {kNotHex}},
      {"full-width digit adds nothing but takes its place", u"1\uff11", 16, u"1\uff11", {kScrewedUp}},
      {"full-width digit alone", u"\uff19", 0, u"\uff19", {kScrewedUp}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    Text in = row.in;
    EXPECT_EQ(Hex2Dec(box, in), row.expected);
    EXPECT_EQ(box.texts(), row.messages);
    EXPECT_EQ(in, row.written_back);
  }
}

TEST(NumberBasesTest, Hex2DecOverflows) {
  const struct {
    const char* label;
    Text in;
  } rows[] = {
      {"257 digits, even zeros", Text(257, u'0')},
      {"256 Fs sum past the largest double", Text(256, u'F')},
      {"32,768 digits", Text(32768, u'1')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    Text in = row.in;
    EXPECT_EQ(ErrorOf([&] { Hex2Dec(box, in); }), 6);
    EXPECT_TRUE(box.messages.empty());
  }
}

TEST(NumberBasesTest, CapitalsAreWrittenBackBeforeAnOverflow) {
  FakeMessageBox box;
  Text in = Repeat(u"ab", 16384);
  EXPECT_EQ(ErrorOf([&] { Hex2Bin(box, in); }), 6);
  EXPECT_EQ(in, Repeat(u"AB", 16384));
  Text again = Repeat(u"cd", 16384);
  EXPECT_EQ(ErrorOf([&] { Hex2Dec(box, again); }), 6);
  EXPECT_EQ(again, Repeat(u"CD", 16384));
  EXPECT_TRUE(box.messages.empty());
}

TEST(NumberBasesTest, CheckBitStatus) {
  const struct {
    const char* label;
    double lngEnumValue, lngCheckBitValue;
    bool expected;
    Texts messages;
  } rows[] = {
      // Boundaries first.
      {"zero and zero", 0, 0, true, {}},
      {"zero checked for one", 0, 1, false, {}},
      {"one checked for one", 1, 1, true, {}},
      {"two checked for one", 2, 1, false, {}},
      // The documented rows.
      {"bit 4 of 13", 13, 4, true, {}},
      {"bit 2 of 13", 13, 2, false, {}},
      {"check value longer", 13, 16, false, {}},
      {"check value 0 asks for even", 12, 0, true, {}},
      {"only the highest bit of 6", 5, 6, true, {}},
      // Failed conversions answer false.
      {"check value with a fraction", 5, 1.5, false, {kOnlyWhole}},
      {"enumeration value with a fraction", 2.5, 1, false, {kOnlyWhole}},
      {"both with a fraction", 2.5, 1.5, false, {kOnlyWhole, kOnlyWhole}},
      // More.
      {"odd negative enumeration", -5, 1, true, {}},
      {"large enumeration", 1e15, 32768, true, {}},
      {"large enumeration, bit not set", 1e15, 16384, false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    EXPECT_EQ(CheckBitStatus(box, row.lngEnumValue, row.lngCheckBitValue), row.expected);
    EXPECT_EQ(box.texts(), row.messages);
  }
  FakeMessageBox box;
  EXPECT_EQ(ErrorOf([&] { CheckBitStatus(box, std::numeric_limits<double>::infinity(), 1); }), 6);
}

}  // namespace
}  // namespace kavrolin::toolkit::numbers
