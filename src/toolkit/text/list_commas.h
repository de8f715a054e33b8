// Guarding the commas of a list of values. Pure; safe to call from any thread.
#pragma once

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::toolkit::text {

// strText (in its text form) with every comma that does not stand between two
// list values turned into the full-width comma U+FF0C. A comma stays "," only
// when both of its sides look like the edge of a value: on the left the unit
// before it is "'" or an ASCII digit, or the four units before it read "NULL"
// in any case; on the right the unit after it is "'" or an ASCII digit, or the
// four units after it read "NULL". A side with no unit (a comma first or last
// in the text) is ordinary text, so such a comma is always turned.
// Example: 'a,b',12,NULL,'c',x gives 'a，b',12,NULL,'c'，x.
// A strText that has no text form throws the conversion's AutomationError: 94
// "Invalid use of Null" for Null, 13 "Type mismatch" for arrays; any other
// failure answers strText unchanged.
Text StrReplaceComma(const Variant& strText);

}  // namespace kavrolin::toolkit::text
