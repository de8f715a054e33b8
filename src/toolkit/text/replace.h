// Replacing until nothing is left to replace. Pure; safe to call from any
// thread.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::toolkit::text {

// The longest text a replacement may grow to, in units, before it is taken to
// be one that never ends.
inline constexpr int32_t kMaxReplacedLength = int32_t{1} << 22;

// strText (in its text form) with every strFind replaced by strReplace, pass
// after pass, until no strFind is left: runs of two blanks replaced by one
// collapse to a single blank. Each pass replaces left to right, without
// overlaps, comparing units exactly.
//
// A replacement that could never end answers strText unchanged: an empty
// strFind, a strReplace that contains strFind, a text that grows beyond
// kMaxReplacedLength units (and beyond its own length), or a replacement no
// shorter than strFind whose passes together examine more than 2^28 units.
// Any other failure answers strText unchanged as well. A strText that has no
// text form throws the conversion's AutomationError: 94 "Invalid use of Null"
// for Null, 13 "Type mismatch" for arrays.
Text StrReplaceRepeat(const Variant& strText, const Text& strFind, const Text& strReplace);

}  // namespace kavrolin::toolkit::text
