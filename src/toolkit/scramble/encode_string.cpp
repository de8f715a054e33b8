#include "toolkit/scramble/encode_string.h"

#include "toolkit/scramble/ansi_code.h"

namespace kavrolin::toolkit::scramble {

Variant EncodeString(const Text& pString, int32_t pSeed) {
  const int32_t seed = (pSeed > 65535 || pSeed < -32768) ? 23 : pSeed;
  Text result;
  result.reserve(pString.size());
  CodeCache cache;
  for (const char16_t unit : pString) cache.Append(result, FlipLowBits(cache.Code(unit), seed));
  return Variant(std::move(result));
}

}  // namespace kavrolin::toolkit::scramble
