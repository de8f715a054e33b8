// StringEnCrypt: XORs each character code (ansi_code.h) with a key stream
// drawn from the Basic generator, so the same key applied twice restores a
// text of single-byte characters, and texts scrambled on the target systems
// come back here.
#pragma once

#include <cstdint>

#include "base/basic_random.h"
#include "base/text.h"
#include "platform/message_box.h"

namespace kavrolin::toolkit::scramble {

// The key stream: a negative MA becomes its absolute value, in the caller's
// variable too; a non-zero MA then reseeds `generator` with -MA (as a single);
// MA 0 does not reseed, so the stream goes on from earlier draws. Each key is
// floor(r * 127) of the next value r, the product rounded to single precision
// first as the Basic runtime computes it, drawn again until it lies in 32 to
// 128 (so 32 to 126). Each character becomes the one whose code is its code
// XOR its key.
//
// Guarded. Returns the built text, and puts it in strTarget (the dispatch
// layer passes a local of its own when the caller leaves strTarget out). On a
// failure: answers empty text, leaves strTarget as it was and shows the
// error's number, "\" and its description ("6\Overflow") in `box`, captioned
// with the component's title. MA -2147483648 has no absolute value: it gives
// that overflow and stays as it is.
// `generator` is the thread's (BasicRandom::ThisThread()) for the member.
Text StringEnCrypt(platform::MessageBox& box, BasicRandom& generator, const Text& strSource,
                   int32_t& MA, Text& strTarget);

}  // namespace kavrolin::toolkit::scramble
