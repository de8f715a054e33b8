#include "toolkit/numbers/number_bases.h"

#include <cmath>

#include "base/automation_error.h"
#include "base/number_rules.h"
#include "base/upper_case.h"
#include "toolkit/component_title.h"
#include "toolkit/integer_positions.h"

namespace kavrolin::toolkit::numbers {
namespace {

constexpr char16_t kNotBinary[] = u"NOT A BINARY NUMBER";
constexpr char16_t kOnlyWhole[] = u"Only Whole Numbers can be converted";
constexpr char16_t kNothingGiven[] = u"Nothing Given..";
constexpr char16_t kNotHex[] = u"Number given is not in Hex format";
constexpr char16_t kScrewedUp[] = u"Something is Screwed up, Wahhhhhhhhhhh";

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void Show(platform::MessageBox& box, const char16_t* text) { box.Show(kComponentTitle, text); }

// Double arithmetic that leaves the double range is an overflow, as on the
// target platform.
double Checked(double value) {
  if (std::isinf(value) || std::isnan(value)) throw AutomationError(ErrorNumber::kOverflow);
  return value;
}

bool AllBinaryDigits(TextView text) {
  for (const char16_t c : text) {
    if (c != u'0' && c != u'1') return false;
  }
  return true;
}

// The numeric test of one character: the digits, and the full-width digits
// the East Asian code pages read as digits too.
bool ReadsAsNumber(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= 0xFF10 && c <= 0xFF19);
}

bool PassesHexCheck(TextView text) {
  for (const char16_t c : text) {
    if (!ReadsAsNumber(c) && !(c >= u'A' && c <= u'F')) return false;
  }
  return true;
}

// The nibble table's value of a hex digit (capitals); -1 when it has no row.
int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool ShowsPoint(double value) { return NumberText(value).find(u'.') != Text::npos; }

double RoundHalfAwayFromZero(double value) { return std::round(value); }

}  // namespace

double Bin2Dec(platform::MessageBox& box, TextView InputData) {
  RequireIntegerPositions(InputData);
  if (!AllBinaryDigits(InputData)) {
    Show(box, kNotBinary);
    return 0;
  }
  const size_t length = InputData.size();
  double sum = 0;
  for (size_t p = length; p >= 1; --p) {
    if (InputData[p - 1] != u'1') continue;
    const size_t power = length - p;
    if (power >= 1024) throw AutomationError(ErrorNumber::kOverflow);
    sum = Checked(sum + std::ldexp(1.0, static_cast<int>(power)));
  }
  return sum;
}

Text Dec2Bin(platform::MessageBox& box, double InputData) {
  if (ShowsPoint(InputData)) {
    Show(box, kOnlyWhole);
    return {};
  }
  double d = InputData;
  Text digits;
  if (d == std::trunc(d)) {
    // A whole number: halving is exact, so every digit is right at any size
    // (the 15-digit text test cannot see a half beyond 10^14).
    do {
      const double half = d / 2;
      d = std::floor(half);
      digits += half != d ? u'1' : u'0';
    } while (d >= 1);
  } else {
    // Only a value whose fraction its 15-digit text hides gets here (a tiny
    // one like 1E-05, or 123456789012345.6): the digit test stays the text's.
    do {
      d = d / 2;
      if (ShowsPoint(d)) {
        digits += u'1';
        d = RoundHalfAwayFromZero(d) - 1;
      } else {
        digits += u'0';
      }
    } while (d >= 1);
  }
  return Text(digits.rbegin(), digits.rend());
}

Text Bin2Hex(platform::MessageBox& box, TextView InputData) {
  RequireIntegerPositions(InputData);
  if (!AllBinaryDigits(InputData)) {
    Show(box, kNotBinary);
    return {};
  }
  if (InputData.empty()) {
    Show(box, kNothingGiven);
    return {};
  }
  const size_t pad = (4 - InputData.size() % 4) % 4;
  const Text bits = Text(pad, u'0') + Text(InputData);
  Text hex;
  hex.reserve(bits.size() / 4);
  for (size_t i = 0; i < bits.size(); i += 4) {
    int value = 0;
    for (size_t j = 0; j < 4; ++j) value = value * 2 + (bits[i + j] - u'0');
    hex += kHexDigits[value];
  }
  return hex;
}

Text Hex2Bin(platform::MessageBox& box, Text& InputData) {
  InputData = UpperCase(InputData);
  RequireIntegerPositions(InputData);
  if (!PassesHexCheck(InputData)) {
    Show(box, kNotHex);
    return {};
  }
  Text bits;
  bits.reserve(InputData.size() * 4);
  for (const char16_t c : InputData) {
    const int value = HexValue(c);
    if (value < 0) {
      Show(box, kScrewedUp);
      continue;
    }
    for (int bit = 3; bit >= 0; --bit) bits += (value >> bit) & 1 ? u'1' : u'0';
  }
  return bits;
}

double Hex2Dec(platform::MessageBox& box, Text& InputData) {
  InputData = UpperCase(InputData);
  RequireIntegerPositions(InputData);
  if (!PassesHexCheck(InputData)) {
    Show(box, kNotHex);
    return 0;
  }
  double weight = 0;
  double sum = 0;
  for (size_t p = InputData.size(); p >= 1; --p) {
    weight = Checked(weight * 16);
    if (weight == 0) weight = 1;
    const int value = HexValue(InputData[p - 1]);
    if (value < 0) {
      Show(box, kScrewedUp);
      continue;
    }
    sum = Checked(sum + value * weight);
  }
  return sum;
}

bool CheckBitStatus(platform::MessageBox& box, double lngEnumValue, double lngCheckBitValue) {
  const Text e = Dec2Bin(box, lngEnumValue);
  const Text c = Dec2Bin(box, lngCheckBitValue);
  // A successful conversion has at least one digit.
  if (e.empty() || c.empty()) return false;
  if (c.size() > e.size()) return false;
  return c[0] == e[e.size() - c.size()];
}

}  // namespace kavrolin::toolkit::numbers
