#include "base/upper_case.h"

namespace kavrolin {

char16_t UpperCaseUnit(char16_t c) {
  auto minus = [c](int d) { return static_cast<char16_t>(c - d); };
  if (c < 0x80) return AsciiUpper(c);
  if (c >= 0xE0 && c <= 0xFE) return c == 0xF7 ? c : minus(0x20);  // 0xF7 is the division sign
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs capital and small letter side by side; which one
    // comes first changes twice within the block.
    const bool odd = (c & 1) != 0;
    if ((c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177)) {
      return odd ? minus(1) : c;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return odd ? c : minus(1);
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3CB) return c == 0x3C2 ? char16_t{0x3A3} : minus(0x20);  // final sigma
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return minus(0x25);
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return minus(0x3F);
  if (c >= 0x430 && c <= 0x44F) return minus(0x20);
  if (c >= 0x450 && c <= 0x45F) return minus(0x50);
  if (c >= 0xFF41 && c <= 0xFF5A) return minus(0x20);
  return c;
}

Text UpperCase(TextView text) {
  Text out(text);
  for (char16_t& c : out) c = UpperCaseUnit(c);
  return out;
}

}  // namespace kavrolin
