// Text measured and exchanged in its ANSI form: the bytes of the system ANSI
// code page (base/ansi.h). Pure functions of their arguments and the code
// page; safe to call from any thread.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::toolkit::text {

// The largest ANSI form ConverStrToByte accepts, in bytes: the byte count is
// a signed 16-bit number, and the array holds one byte more than the form.
inline constexpr int32_t kMaxByteTextLength = 32766;

// The left part of strIn whose ANSI form is at most lngLen bytes: a double-byte
// character counts two. A lead byte left alone at the end of the cut is
// dropped, so the result never ends in half a character. A negative lngLen, or
// one at least the byte count, keeps every byte: the result is strIn through
// the code page and back (unrepresentable characters become "?"). Never fails.
Text HLeft(const Text& strIn, int32_t lngLen);

// The ANSI form of strData as a byte array: lower bound 0, element 0 is 0 and
// elements 1..n hold the n bytes in order. The empty text gives an array
// without bounds. An ANSI form longer than kMaxByteTextLength bytes throws
// AutomationError 6 "Overflow".
ByteArray ConverStrToByte(const Text& strData);

// Every element of buf, lower to upper bound, read as one ANSI byte run. A zero
// byte becomes U+0000 inside the text; a lone lead byte at the end is dropped;
// an invalid byte becomes "?". An array without bounds throws AutomationError 9
// "Subscript out of range". ConverByteToStr(ConverStrToByte(s)) is U+0000
// followed by s.
Text ConverByteToStr(const ByteArray& buf);

}  // namespace kavrolin::toolkit::text
