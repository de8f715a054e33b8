#include "base/variant.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "base/automation_error.h"
#include "base/local_time.h"
#include "base/number_rules.h"

namespace kavrolin {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

TextView TrimBlanks(TextView t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

// "&H..." / "&O...": 16-bit up to FFFF, 32-bit up to FFFFFFFF, as automation
// reads such literals.
double RadixValue(TextView digits, int radix) {
  if (digits.empty()) throw AutomationError(ErrorNumber::kTypeMismatch);
  uint64_t value = 0;
  for (char16_t c : digits) {
    int d;
    const char16_t l = AsciiLower(c);
    if (l >= u'0' && l <= u'9') d = l - u'0';
    else if (l >= u'a' && l <= u'f') d = l - u'a' + 10;
    else d = 99;
    if (d >= radix) throw AutomationError(ErrorNumber::kTypeMismatch);
    value = value * radix + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) throw AutomationError(ErrorNumber::kOverflow);
  }
  if (value <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(value));
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// A text that is wholly a number, as automation reads one; error 13 otherwise.
double TextNumber(TextView text) {
  const TextView t = TrimBlanks(text);
  if (t.size() >= 2 && t[0] == u'&') {
    const char16_t kind = AsciiLower(t[1]);
    if (kind == u'h') return RadixValue(t.substr(2), 16);
    if (kind == u'o') return RadixValue(t.substr(2), 8);
    throw AutomationError(ErrorNumber::kTypeMismatch);
  }
  std::string number;
  size_t i = 0;
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) number += static_cast<char>(t[i++]);
  bool digits = false;
  while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') number += static_cast<char>(t[i++]), digits = true;
  if (i < t.size() && t[i] == u'.') {
    number += '.';
    ++i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') number += static_cast<char>(t[i++]), digits = true;
  }
  if (!digits) throw AutomationError(ErrorNumber::kTypeMismatch);
  if (i < t.size() && (AsciiLower(t[i]) == u'e' || AsciiLower(t[i]) == u'd')) {
    number += 'e';
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) number += static_cast<char>(t[i++]);
    bool exponent_digits = false;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') {
      number += static_cast<char>(t[i++]);
      exponent_digits = true;
    }
    if (!exponent_digits) throw AutomationError(ErrorNumber::kTypeMismatch);
  }
  if (i != t.size()) throw AutomationError(ErrorNumber::kTypeMismatch);
  return DecimalValue(number);
}

// Round half to even, as automation rounds a double to an integer.
double RoundHalfEven(double v) {
  const double floor = std::floor(v);
  const double fraction = v - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

Text DateText(double date) {
  if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0) {
    throw AutomationError(ErrorNumber::kOverflow);  // outside 100-01-01 .. 9999-12-31
  }
  LocalTime t = FromAutomationDate(date);
  // Shown to the second: half a second or more counts as the next one.
  if (t.millisecond >= 500 && ++t.second == 60) {
    t.second = 0;
    if (++t.minute == 60) {
      t.minute = 0;
      if (++t.hour == 24) {
        LocalTime midnight{t.year, t.month, t.day, 0, 0, 0, 0};
        const LocalTime next = FromAutomationDate(ToAutomationDate(midnight) + 1);
        t.year = next.year, t.month = next.month, t.day = next.day, t.hour = 0;
      }
    }
  }
  const bool day_zero = t.year == 1899 && t.month == 12 && t.day == 30;
  const bool midnight = t.hour == 0 && t.minute == 0 && t.second == 0;
  char text[48];
  int n;
  if (day_zero) {
    n = std::snprintf(text, sizeof text, "%d:%02d:%02d", t.hour, t.minute, t.second);
  } else if (midnight) {
    n = std::snprintf(text, sizeof text, "%d/%d/%d", t.year, t.month, t.day);
  } else {
    n = std::snprintf(text, sizeof text, "%d/%d/%d %d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
  }
  return Text(text, text + n);
}

}  // namespace

void Variant::ThrowTypeMismatch() { throw AutomationError(ErrorNumber::kTypeMismatch); }

Text Variant::ToText() const {
  switch (type()) {
    case VariantType::kEmpty: return Text();
    case VariantType::kNull: throw AutomationError(ErrorNumber::kInvalidUseOfNull);
    case VariantType::kInt16: return AsciiText(std::to_string(std::get<int16_t>(value_)));
    case VariantType::kInt32: return AsciiText(std::to_string(std::get<int32_t>(value_)));
    case VariantType::kDouble: return NumberText(std::get<double>(value_));
    case VariantType::kBool: return std::get<bool>(value_) ? u"True" : u"False";
    case VariantType::kDate: return DateText(std::get<Date>(value_).value);
    case VariantType::kText: return std::get<Text>(value_);
    case VariantType::kTextArray:
    case VariantType::kByteArray: break;
  }
  ThrowTypeMismatch();
}

double Variant::ToDouble() const {
  switch (type()) {
    case VariantType::kEmpty: return 0;
    case VariantType::kNull: throw AutomationError(ErrorNumber::kInvalidUseOfNull);
    case VariantType::kInt16: return std::get<int16_t>(value_);
    case VariantType::kInt32: return std::get<int32_t>(value_);
    case VariantType::kDouble: return std::get<double>(value_);
    case VariantType::kBool: return std::get<bool>(value_) ? -1 : 0;
    case VariantType::kDate: return std::get<Date>(value_).value;
    case VariantType::kText: return TextNumber(std::get<Text>(value_));
    case VariantType::kTextArray:
    case VariantType::kByteArray: break;
  }
  ThrowTypeMismatch();
}

int32_t Variant::ToInt32() const {
  const double rounded = RoundHalfEven(ToDouble());
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
    throw AutomationError(ErrorNumber::kOverflow);
  }
  return static_cast<int32_t>(rounded);
}

int16_t Variant::ToInt16() const {
  const double rounded = RoundHalfEven(ToDouble());
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) throw AutomationError(ErrorNumber::kOverflow);
  return static_cast<int16_t>(rounded);
}

bool Variant::ToBool() const {
  if (const Text* text = get_if<Text>()) {
    const TextView t = TrimBlanks(*text);
    if (EqualsIgnoreCase(t, u"True")) return true;
    if (EqualsIgnoreCase(t, u"False")) return false;
  }
  return ToDouble() != 0;
}

}  // namespace kavrolin
