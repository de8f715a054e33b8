// Upper case as the platform's text functions make it: a one-to-one mapping
// of each UTF-16 unit to its capital, for the scripts the systems served
// write in (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the
// full-width Latin letters of the East Asian code pages). Every other unit,
// Chinese characters and digits included, stays as it is; the length never
// changes. Pure functions; safe from any thread.
#pragma once

#include "base/text.h"

namespace kavrolin {

char16_t UpperCaseUnit(char16_t c);
Text UpperCase(TextView text);

}  // namespace kavrolin
