// Filling a text up to a width counted in UTF-16 units (not bytes). Pure;
// safe to call from any thread.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace kavrolin::toolkit::text {

// The widest result FormatStrLn builds, in units: about 8 MB of text.
inline constexpr int32_t kMaxPaddedWidth = int32_t{1} << 22;

// pStr filled with one repeated character up to StrLng units: the fill before
// pStr when IsRightAlign, after it otherwise. A pStr already StrLng units or
// longer (any StrLng <= 0 included) comes back unchanged and ShowStr is not
// touched; nothing is ever cut. When it fills, ShowStr is first settled to the
// single fill character used, its first unit, or " " when it is empty, and the
// caller's variable keeps that. A StrLng above kMaxPaddedWidth throws
// AutomationError 7 "Out of memory" (ShowStr already settled) instead of
// allocating.
Text FormatStrLn(const Text& pStr, int32_t StrLng, Text& ShowStr, bool IsRightAlign);

}  // namespace kavrolin::toolkit::text
