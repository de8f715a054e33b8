// Reading a dotted IPv4 address text as the 32-bit address value the echo
// service takes. Pure function of its argument; safe from any thread.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace kavrolin::toolkit::probe {

// The text is cut at every "." into at most four parts (slots 1 to 4), empty
// parts included. Not four parts (no, one or two dots): 0, so a host name,
// "1.2.3" and the empty text all give 0. Four parts: each is read as a whole
// number the way automation converts a text to a 32-bit integer (decimal
// digits, optional sign, blanks around; a fraction rounds half to even) and
// only its low byte is kept (256 gives 0, 300 gives 0x2C, -1 gives 0xFF). The
// answer holds part 1 in its lowest byte and part 4 in its highest, read as a
// signed 32-bit integer ("255.255.255.255" is -1).
//
// Throws AutomationError 9 (Subscript out of range) for a fifth part (four
// or more dots), before any part is read; then, for the first part that
// fails, 13 (Type mismatch) for an empty or non-numeric part and 6 (Overflow)
// for a number beyond the signed 32-bit range.
int32_t ParseIPv4Address(const Text& address);

}  // namespace kavrolin::toolkit::probe
