// Counting the occurrences of one character. Pure; safe to call from any
// thread.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::toolkit::text {

// Adds to Counter the number of units of StrBeSeach equal to strFind in its
// text form (a number through its text, 5 as "5"), comparing exactly and
// case-sensitively, and returns the final Counter as a 16-bit integer variant.
// Counter is not reset: counting continues from the caller's value. Only a
// one-unit strFind can match; an empty or longer one, or Null, leaves Counter
// unchanged. When Counter would pass 32,767 it is left at 32,767 and
// AutomationError 6 "Overflow" is thrown. An array strFind throws
// AutomationError 13 "Type mismatch".
Variant CalculateStr(const Text& StrBeSeach, const Variant& strFind, int16_t& Counter);

}  // namespace kavrolin::toolkit::text
