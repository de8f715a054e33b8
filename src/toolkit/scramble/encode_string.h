// EncodeString: flips the low four bits of each character code (ansi_code.h)
// with the low four bits of a seed; applying it twice with the same seed
// restores the text.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "base/variant.h"

namespace kavrolin::toolkit::scramble {

// s = pSeed, or 23 when pSeed lies outside -32768..65535; each character
// becomes the one whose code is (c AND NOT 15) + ((c XOR s) AND 15), which is
// c XOR (s AND 15). Returns a text Variant (empty text for empty input).
// Unguarded: nothing in it fails but memory.
Variant EncodeString(const Text& pString, int32_t pSeed);

// The transformation of one code, shared with the file encoding.
constexpr int32_t FlipLowBits(int32_t code, int32_t seed) {
  return (code & ~15) + ((code ^ seed) & 15);
}

}  // namespace kavrolin::toolkit::scramble
