// Variant: the automation value every member takes and returns. It holds one
// of empty, Null, a 16- or 32-bit integer, a double, a boolean, a date, a text,
// a text array or a byte array, and converts between them the way automation
// changes a value's type:
//
//   ToText    empty -> "", integers in decimal, doubles by the number-text
//             rule, booleans "True"/"False", dates as "yyyy/M/d H:mm:ss" (only
//             the date at midnight, only the time on day 0, 1899-12-30).
//   ToDouble  empty -> 0, True -> -1, a date -> its day count, a text when it
//             is wholly a number: blanks around, optional sign, digits with an
//             optional point and exponent (E or D), or "&H" hexadecimal /
//             "&O" octal digits: values up to &HFFFF read as 16-bit and up to
//             &HFFFFFFFF as 32-bit two's complement ("&HFFFF" is -1, "&H10000"
//             is 65536); larger ones are error 6 "Overflow", as are decimal
//             texts beyond a double. Blanks are spaces, tabs and line breaks.
//   ToInt32 / ToInt16   ToDouble, then rounded half to even; out of range is
//             error 6 "Overflow".
//   ToBool    empty -> False, a number or date -> non-zero, a text "True" or
//             "False" in any case, or a text that is a number.
//
// Null converts to nothing (error 94 "Invalid use of Null") and the arrays
// convert to nothing (error 13 "Type mismatch"); a text that is no number is
// error 13 too. Equality is exact: same type and same value, no conversion.
#pragma once

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

#include "base/text.h"

namespace kavrolin {

enum class VariantType { kEmpty, kNull, kInt16, kInt32, kDouble, kBool, kDate, kText, kTextArray, kByteArray };

struct EmptyValue {
  bool operator==(const EmptyValue&) const = default;
};
struct NullValue {
  bool operator==(const NullValue&) const = default;
};

// An automation date: days since 1899-12-30, the time as the fraction of a day
// (see base/local_time.h).
struct Date {
  double value = 0;
  bool operator==(const Date&) const = default;
};

// A one-dimensional automation array with its own lower bound. An array
// without bounds (has_bounds false) has no items; Basic's UBound fails on it.
template <class T>
struct AutomationArray {
  bool has_bounds = true;
  int32_t lbound = 0;
  std::vector<T> items;

  static AutomationArray WithoutBounds() { return {false, 0, {}}; }
  // lbound - 1 when there are no items; wraps like the automation array's own
  // bound arithmetic for an empty array starting at the lowest lbound.
  int32_t ubound() const {
    return static_cast<int32_t>(static_cast<uint32_t>(lbound) +
                                static_cast<uint32_t>(items.size()) - 1u);
  }
  bool operator==(const AutomationArray&) const = default;
};

using TextArray = AutomationArray<Text>;
using ByteArray = AutomationArray<uint8_t>;

class Variant {
 public:
  Variant() = default;  // empty
  Variant(EmptyValue) {}
  Variant(NullValue v) : value_(v) {}
  Variant(int16_t v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(double v) : value_(v) {}
  Variant(bool v) : value_(v) {}
  Variant(Date v) : value_(v) {}
  Variant(Text v) : value_(std::move(v)) {}
  Variant(TextView v) : value_(Text(v)) {}
  Variant(const char16_t* v) : value_(Text(v)) {}
  Variant(TextArray v) : value_(std::move(v)) {}
  Variant(ByteArray v) : value_(std::move(v)) {}
  // A narrow string or other pointer would otherwise silently become a boolean.
  Variant(const char*) = delete;

  VariantType type() const { return static_cast<VariantType>(value_.index()); }
  bool is_empty() const { return type() == VariantType::kEmpty; }
  bool is_null() const { return type() == VariantType::kNull; }

  // The value held as T, or nullptr when the variant holds another type.
  template <class T>
  const T* get_if() const { return std::get_if<T>(&value_); }
  // The value held as T; error 13 "Type mismatch" when it holds another type.
  template <class T>
  const T& get() const {
    if (const T* v = get_if<T>()) return *v;
    ThrowTypeMismatch();
  }

  Text ToText() const;
  double ToDouble() const;
  int32_t ToInt32() const;
  int16_t ToInt16() const;
  bool ToBool() const;

  bool operator==(const Variant&) const = default;

 private:
  [[noreturn]] static void ThrowTypeMismatch();

  // Order matches VariantType.
  std::variant<EmptyValue, NullValue, int16_t, int32_t, double, bool, Date, Text, TextArray,
               ByteArray>
      value_;
};

}  // namespace kavrolin
