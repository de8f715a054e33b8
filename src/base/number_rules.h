// The two number rules every amount passes through.
//
// Leading-number rule (reading): blanks, tabs and line feeds anywhere in the
// text are skipped; then an optional sign, digits, an optional "." with more
// digits and an optional exponent (E or D, optional sign, digits) are read, and
// reading stops at the first character that cannot continue the number. A text
// without a number reads as 0. The decimal point is always ".".
//
// Number-text rule (writing): the value rounded to 15 significant digits, no
// trailing zeros after the point and no point when nothing follows it, "-"
// before negatives, "0" before the point below 1, exponent form ("1E+15",
// "1.5E-05") from 10^15 up and below 10^-4.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/text.h"

namespace kavrolin {

// Throws AutomationError 6 "Overflow" when the number read does not fit a
// double (for example "1e400").
double LeadingNumber(TextView text);

// The value of a well-formed ASCII decimal number: optional sign, digits with
// an optional "." and fraction, optional exponent ("e" or "E", optional sign,
// digits), correctly rounded. Throws AutomationError 6 when it does not fit a
// double; a value too small for one reads as 0.
double DecimalValue(std::string_view number);

// Throws AutomationError 6 "Overflow" for infinities and NaN, which no
// automation double can carry into text.
Text NumberText(double value);

// The "0.00" pattern: at least one digit before the point, exactly two after,
// rounded half away from zero on the value's 15-digit decimal form, "-" before
// negatives, no grouping. Throws AutomationError 6 for infinities and NaN.
Text TwoDecimalsText(double value);

// A whole number of hundredths in the "0.00" pattern: "-" before negatives.
Text HundredthsText(int64_t hundredths);

// The whole number of hundredths, below 10^12 in magnitude, of which `value`
// is the nearest double to the hundredth part; nullopt when there is none.
// Such a value's 15-digit text is that decimal exactly, and its product with
// 100 rounds back to those hundredths: both rules' conversions can be skipped.
std::optional<int64_t> WholeHundredths(double value);

}  // namespace kavrolin
