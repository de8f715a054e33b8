// How the platform reads a registry key path: names separated by "\", none
// empty, none longer than 255 characters, no leading "\", one trailing "\"
// allowed. One rule for every registry realisation, so a path one store
// refuses is refused by all.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"

namespace kavrolin::rules {

// A key name's longest length in characters, and a value name's.
inline constexpr size_t kMaxKeyNameLength = 255;
inline constexpr size_t kMaxValueNameLength = 16383;

// Splits `path` (decoded text, so a double-byte character's second byte is
// never taken for "\") into its names. kSuccess, with no names for the empty
// path; kBadPathname for a leading "\" or an empty name between two;
// kInvalidParameter for a name that is too long. `names` is left as it may
// be on failure.
int32_t SplitKeyPath(TextView path, std::vector<Text>& names);

}  // namespace kavrolin::rules
