// Conversions between binary text, hexadecimal text and doubles, and a test of
// one bit of a flag value. Bad input is shown to the user in the message box
// (captioned with the component's title) and the caller gets a neutral
// answer; the texts of the messages are fixed:
//   "NOT A BINARY NUMBER"                     Bin2Dec, Bin2Hex: not only 0 and 1
//   "Only Whole Numbers can be converted"     Dec2Bin (and inside CheckBitStatus)
//   "Nothing Given.."                         Bin2Hex of empty text
//   "Number given is not in Hex format"       Hex2Bin, Hex2Dec
//   "Something is Screwed up, Wahhhhhhhhhhh"  Hex2Bin, Hex2Dec: a character that
//                                             passed the check has no hex value
//
// All six are unguarded: a text longer than 32,767 units, and a value beyond
// the double range, throw AutomationError 6 (Overflow) before any message.
// They keep no state; safe from any thread with its own message box.
#pragma once

#include "base/text.h"
#include "platform/message_box.h"

namespace kavrolin::toolkit::numbers {

// The value of binary digits (leading zeros allowed; empty text is 0). Any
// other character: the binary message, answer 0. Overflow for a "1" with
// 1,024 or more digits after it, or a sum past the largest double.
double Bin2Dec(platform::MessageBox& box, TextView InputData);

// Binary digits of a whole number, most significant first ("0" for 0). A
// value whose text form (number_rules.h) shows a "." gets the whole-numbers
// message and empty text. A negative whole number gives one digit: "1" when
// odd, "0" when even. Whole numbers of any size convert exactly.
Text Dec2Bin(platform::MessageBox& box, double InputData);

// Hex digits (capitals) of binary digits, padded on the left to whole groups
// of four; leading zero digits stay. A character other than 0 and 1: the
// binary message; empty text: the nothing-given message; both answer empty.
Text Bin2Hex(platform::MessageBox& box, TextView InputData);

// InputData is first put in capitals, in the caller's variable too (even
// when the call then fails). Each hex digit gives four binary digits. A
// character that is neither a digit nor A to F: the hex message, empty
// answer. The full-width digits of the East Asian code pages pass the digit
// check but have no hex value: each shows the screwed-up message and adds
// nothing.
Text Hex2Bin(platform::MessageBox& box, Text& InputData);

// As Hex2Bin for the capitals and the messages; answers the value (0 for
// empty text or a failed check). A digit without a hex value adds nothing but
// takes its place. Overflow for more than 256 digits, or a sum past the
// largest double.
double Hex2Dec(platform::MessageBox& box, Text& InputData);

// Whether the highest bit of lngCheckBitValue is set in lngEnumValue, by
// their binary digits (Dec2Bin, messages included): false when the check
// value has more digits; otherwise whether the check value's first digit
// equals the enumeration's digit at the same place from the right (a check
// value 0 asks whether the enumeration value is even). False when either
// conversion fails.
bool CheckBitStatus(platform::MessageBox& box, double lngEnumValue, double lngCheckBitValue);

}  // namespace kavrolin::toolkit::numbers
