// The text between two markers. Pure; safe to call from any thread.
#pragma once

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::toolkit::text {

// The text between the first strDelimiter1 in strText and the first
// strDelimiter2 at or after the position where that opening marker starts;
// markers compare unit by unit, case-sensitively. Because the closing search
// starts on the opening marker itself, a closing marker that overlaps it (two
// identical markers, for instance) counts as not found. An empty marker is
// found where its search starts, unless strText is empty. strText is used in
// its text form. Guarded: no opening marker, no closing marker behind it, a
// strText that has no text form (Null, arrays) or any other failure gives the
// empty text.
Text StrDelimiter(const Variant& strText, const Text& strDelimiter1, const Text& strDelimiter2);

}  // namespace kavrolin::toolkit::text
