#include "toolkit/probe/ipv4_address.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin::toolkit::probe {
namespace {

using kavrolin::testing::ErrorOf;

// The address value of a.b.c.d: a in the lowest byte.
constexpr int32_t Address(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return static_cast<int32_t>(a | b << 8 | c << 16 | d << 24);
}

TEST(ParseIPv4AddressTest, FourPartsGiveTheAddressValue) {
  const struct {
    const char* label;
    Text address;
    int32_t expected;
  } rows[] = {
      // Boundaries: the smallest and largest values of each part.
      {"all zero", u"0.0.0.0", 0},
      {"all 255 reads as -1", u"255.255.255.255", -1},
      {"highest byte 128 is negative", u"0.0.0.128", Address(0, 0, 0, 128)},
      {"first part lowest byte", u"1.0.0.0", 1},
      {"last part highest byte", u"0.0.0.1", 1 << 24},
      // Ordinary addresses.
      {"loopback", u"127.0.0.1", Address(127, 0, 0, 1)},
      {"each part in its byte", u"1.2.3.4", Address(1, 2, 3, 4)},
      {"private", u"192.168.10.20", Address(192, 168, 10, 20)},
      // Only the low byte of each part is kept.
      {"256 keeps 0", u"256.1.1.1", Address(0, 1, 1, 1)},
      {"300 keeps 0x2C", u"300.0.0.0", Address(0x2C, 0, 0, 0)},
      {"-1 keeps 0xFF", u"-1.0.0.0", Address(0xFF, 0, 0, 0)},
      {"largest 32-bit part", u"2147483647.0.0.0", Address(0xFF, 0, 0, 0)},
      {"smallest 32-bit part", u"-2147483648.0.0.0", 0},
      {"383 lands on 127", u"383.0.0.1", Address(127, 0, 0, 1)},
      // Blanks and signs around a part.
      {"leading blank", u" 10.0.0.1", Address(10, 0, 0, 1)},
      {"trailing blank", u"10.0.0.1 ", Address(10, 0, 0, 1)},
      {"blanks around every part", u" 10 . 0 . 0 . 1 ", Address(10, 0, 0, 1)},
      {"plus sign", u"+10.0.0.+1", Address(10, 0, 0, 1)},
      {"leading zeros are decimal", u"010.001.0.09", Address(10, 1, 0, 9)},
      // Not four parts: the value 0.
      {"empty text", u"", 0},
      {"one dot", u".", 0},
      {"two dots", u"..", 0},
      {"host name", u"localhost", 0},
      {"qualified host name", u"pos.example", 0},
      {"three parts", u"1.2.3", 0},
      {"number only", u"2130706433", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ParseIPv4Address(row.address), row.expected);
  }
}

TEST(ParseIPv4AddressTest, BadTextsRaiseTheirErrors) {
  const struct {
    const char* label;
    Text address;
    int error;
  } rows[] = {
      // Boundaries: four dots is one part too many, three empty parts fail on the first.
      {"four dots", u"....", 9},
      {"three dots, all parts empty", u"...", 13},
      {"five parts", u"1.2.3.4.5", 9},
      {"trailing dot after four parts", u"1.2.3.4.", 9},
      {"fifth part beats bad parts", u"a.b.c.d.e", 9},
      {"empty second part", u"1..2.3", 13},
      {"empty last part", u"1.2.3.", 13},
      {"letters", u"a.b.c.d", 13},
      {"one bad part at the end", u"1.2.3.x", 13},
      {"blank part", u"1. .3.4", 13},
      {"part just beyond 32 bits", u"2147483648.0.0.0", 6},
      {"negative part beyond 32 bits", u"-2147483649.0.0.0", 6},
      {"first failing part decides: type", u"x.99999999999.0.0", 13},
      {"first failing part decides: overflow", u"99999999999.x.0.0", 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { ParseIPv4Address(row.address); }), row.error);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::probe
