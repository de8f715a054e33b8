#include "base/number_rules.h"

#include <locale.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/automation_error.h"

namespace kavrolin {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n'; }

}  // namespace

double DecimalValue(std::string_view number) {
  // strtod in the "C" locale: correctly rounded, "." whatever the host's
  // locale, HUGE_VAL on overflow.
#if defined(_WIN32)
  static const _locale_t c_locale = ::_create_locale(LC_ALL, "C");
  auto strtod_c = [](const char* s, char** end) { return ::_strtod_l(s, end, c_locale); };
#else
  static const locale_t c_locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
  auto strtod_c = [](const char* s, char** end) { return ::strtod_l(s, end, c_locale); };
#endif
  // strtod also takes blanks, "inf", "nan" and hexadecimal forms; over these
  // characters alone, what it reads whole is the decimal form.
  const bool decimal_characters =
      !number.empty() && number.find_first_not_of("0123456789+-.eE") == std::string_view::npos;
#if defined(__cpp_lib_to_chars)
  // from_chars reads that form as strtod does, correctly rounded, without a
  // locale or a copy; it takes no "+", and leaves the ranges to strtod.
  if (decimal_characters) {
    const bool plus = number.front() == '+';
    const std::string_view rest = number.substr(plus ? 1 : 0);
    // "+-1" is no number; from_chars alone would read its "-1".
    if (!(plus && rest.starts_with('-'))) {
      double value = 0;
      const char* const last = rest.data() + rest.size();
      const auto [end, error] = std::from_chars(rest.data(), last, value);
      if (error == std::errc() && end == last) return value;
    }
  }
#endif
  const std::string text(number);
  char* end = nullptr;
  errno = 0;
  const double value = strtod_c(text.c_str(), &end);
  if (!decimal_characters || end != text.c_str() + text.size()) {
    throw AutomationError(ErrorNumber::kTypeMismatch);
  }
  if (errno == ERANGE && std::isinf(value)) throw AutomationError(ErrorNumber::kOverflow);
  return value;
}

double LeadingNumber(TextView text) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  // One pass reads the number as a whole number of digits and a count of them
  // after the point; only a number that needs the decimal reading is copied
  // out, from the positions the pass found.
  uint64_t whole = 0;
  int count = 0, fraction = 0;
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skip_blanks();
  const size_t start = i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  auto read_digits = [&](bool after_point) {
    for (;;) {
      skip_blanks();
      if (i >= text.size() || !IsDigit(text[i])) return;
      if (count < 16) whole = whole * 10 + static_cast<uint64_t>(text[i] - u'0');
      ++count;
      if (after_point) ++fraction;
      ++i;
    }
  };
  read_digits(false);
  skip_blanks();
  if (i < text.size() && text[i] == u'.') {
    ++i;
    read_digits(true);
  }
  if (count == 0) return 0;
  const size_t mantissa_end = i;
  skip_blanks();
  // The exponent counts only when a digit follows its letter and sign.
  size_t exponent_start = i, exponent_end = i;
  if (i < text.size() &&
      (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
    size_t j = i + 1;
    while (j < text.size() && IsBlank(text[j])) ++j;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
    bool exponent_digits = false;
    for (;; ++j) {
      while (j < text.size() && IsBlank(text[j])) ++j;
      if (j >= text.size() || !IsDigit(text[j])) break;
      exponent_digits = true;
    }
    if (exponent_digits) exponent_start = i + 1, exponent_end = j;
  }
  // Up to 15 digits and no exponent: an exact whole number over an exact power
  // of ten, which IEEE division rounds correctly, as the decimal reading does.
  if (count <= 15 && exponent_start == exponent_end) {
    const double magnitude = static_cast<double>(whole) / kPowersOfTen[fraction];
    return negative ? -magnitude : magnitude;
  }
  // The number's characters without the blanks between them.
  std::string number;
  auto copy = [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (!IsBlank(text[k])) number += static_cast<char>(text[k]);
    }
  };
  copy(start, mantissa_end);
  if (exponent_start != exponent_end) {
    number += 'e';
    copy(exponent_start, exponent_end);
  }
  if (number.back() == '.') number.pop_back();
  return DecimalValue(number);
}

Text NumberText(double value) {
  if (!std::isfinite(value)) throw AutomationError(ErrorNumber::kOverflow);
  if (value == 0) return u"0";
  // A whole number of up to 15 digits is its own 15-digit text: the common
  // case (counts, cents) skips the decimal conversion.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char whole[24];
    const auto end = std::to_chars(whole, whole + sizeof whole, static_cast<int64_t>(value)).ptr;
    return Text(whole, end);
  }
  char buffer[40];
  // The shortest text that reads back as the value is, when it has at most 15
  // digits, the value's 15-digit rounding itself: it lies nearer the value
  // than half a unit of the 15th digit. Only longer ones need the rounding,
  // correctly rounded as printf's "%.14e" is, without its locale and stream
  // machinery; the shortest form is much the cheaper to find.
  char* end = std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value),
                            std::chars_format::scientific)
                  .ptr;
  if (std::find(buffer, end, 'e') - buffer > 16) {  // "d." and more than 14 digits
    end = std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value),
                        std::chars_format::scientific, 14)
              .ptr;
  }
  *end = '\0';  // the exponent is read with atoi
  const int n = static_cast<int>(end - buffer);
  // buffer: d.dddddddddddddde[+-]XX[X]
  char digits[16];
  int count = 0;
  int k = 0;
  for (; k < n && buffer[k] != 'e'; ++k) {
    if (buffer[k] != '.') digits[count++] = buffer[k];
  }
  const int exponent = std::atoi(buffer + k + 1);
  while (count > 1 && digits[count - 1] == '0') --count;

  // At most "-0.0000" and 15 digits, or "-d." 14 digits "E+308".
  char16_t out[32];
  size_t length = 0;
  if (value < 0) out[length++] = u'-';
  if (exponent >= 15 || exponent < -4) {
    out[length++] = static_cast<char16_t>(digits[0]);
    if (count > 1) {
      out[length++] = u'.';
      for (int d = 1; d < count; ++d) out[length++] = static_cast<char16_t>(digits[d]);
    }
    out[length++] = u'E';
    out[length++] = exponent < 0 ? u'-' : u'+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100) out[length++] = static_cast<char16_t>(u'0' + magnitude / 100);
    out[length++] = static_cast<char16_t>(u'0' + magnitude / 10 % 10);
    out[length++] = static_cast<char16_t>(u'0' + magnitude % 10);
  } else if (exponent >= 0) {
    for (int d = 0; d <= exponent; ++d) {
      out[length++] = d < count ? static_cast<char16_t>(digits[d]) : u'0';
    }
    if (count > exponent + 1) {
      out[length++] = u'.';
      for (int d = exponent + 1; d < count; ++d) out[length++] = static_cast<char16_t>(digits[d]);
    }
  } else {
    out[length++] = u'0';
    out[length++] = u'.';
    for (int z = 0; z < -exponent - 1; ++z) out[length++] = u'0';
    for (int d = 0; d < count; ++d) out[length++] = static_cast<char16_t>(digits[d]);
  }
  return Text(out, length);
}

Text TwoDecimalsText(double value) {
  // Rounding the 15-digit decimal form, not the binary value, keeps 1.005
  // rounding up as the decimal text it stands for.
  if (!std::isfinite(value)) throw AutomationError(ErrorNumber::kOverflow);
  // The common case (an amount read from whole hundredths) needs no rounding.
  if (const std::optional<int64_t> hundredths = WholeHundredths(value)) {
    return HundredthsText(*hundredths);
  }
  // Above about 1.8E+306 the hundredths are beyond a double; such a value
  // has no fraction to round and is written as it stands.
  const double product = value * 100;
  const double hundredths =
      std::isfinite(product) ? std::round(LeadingNumber(NumberText(product))) : product;
  if (!std::isfinite(hundredths) ||
      std::fabs(hundredths) >= 9007199254740992.0) {  // beyond exact integers
    char text[400];
    const int n = std::snprintf(text, sizeof text, "%.2f", value);
    return Text(text, text + n);
  }
  return HundredthsText(static_cast<int64_t>(hundredths));
}

std::optional<int64_t> WholeHundredths(double value) {
  // A decimal of at most 12 digits reads back as its own nearest double, and
  // the product with 100 lies within a few units in the last place of the
  // hundredths, far inside half a unit of their 15th digit.
  if (!(std::fabs(value) < 1e10)) return std::nullopt;
  const double hundredths = std::round(value * 100);
  if (!(std::fabs(hundredths) < 1e12) || hundredths / 100 != value) return std::nullopt;
  return static_cast<int64_t>(hundredths);
}

Text HundredthsText(int64_t hundredths) {
  const uint64_t magnitude = hundredths < 0 ? 0 - static_cast<uint64_t>(hundredths)
                                            : static_cast<uint64_t>(hundredths);
  char text[32];
  char* end = text;
  if (hundredths < 0) *end++ = '-';
  end = std::to_chars(end, text + sizeof text, magnitude / 100).ptr;
  *end++ = '.';
  *end++ = static_cast<char>('0' + magnitude % 100 / 10);
  *end++ = static_cast<char>('0' + magnitude % 10);
  return Text(text, end);
}

}  // namespace kavrolin
