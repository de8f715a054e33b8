// Members that count positions in a text with a 16-bit integer cannot take a
// text longer than 32,767 units: on the target platform the count itself
// overflows before the text is looked at. They call this first.
#pragma once

#include <cstddef>

#include "base/automation_error.h"
#include "base/text.h"

namespace kavrolin::toolkit {

inline constexpr size_t kMaxIntegerPosition = 32767;

// Throws AutomationError 6 (Overflow) for a text longer than 32,767 units.
inline void RequireIntegerPositions(TextView text) {
  if (text.size() > kMaxIntegerPosition) throw AutomationError(ErrorNumber::kOverflow);
}

}  // namespace kavrolin::toolkit
