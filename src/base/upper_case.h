// Upper case as the platform's text functions make it: a one-to-one mapping
// of each UTF-16 unit to its capital, for the scripts the systems served
// write in (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic and the
// full-width Latin letters of the East Asian code pages). Every other unit,
// Chinese characters and digits included, stays as it is; the length never
// changes. Pure functions; safe from any thread.
//
// The same upper case is how the platform compares names: of files and
// folders (path mapping, directory search, wildcards) and of registry keys
// and values. FoldName is that one rule; two names are the same name when
// their folds are equal.
#pragma once

#include "base/text.h"

namespace kavrolin {

char16_t UpperCaseUnit(char16_t c);
Text UpperCase(TextView text);

inline Text FoldName(TextView name) { return UpperCase(name); }

}  // namespace kavrolin
