// Character codes as the scrambling members see them: a character's code in
// the system ANSI code page as a signed 16-bit number, widened with its sign.
// A single-byte character gives 0 to 255; a double-byte one gives lead byte *
// 256 + trail byte, which reads as negative (on code page 936 "中" is D6 D0,
// -10544). Pure functions of the code page; safe from any thread.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "base/text.h"

namespace kavrolin::toolkit::scramble {

// The code of one UTF-16 unit. A unit the code page cannot hold (a lone
// surrogate among them) has the code of "?", 63; so has a character that
// takes more than two bytes (only code page 65001 has such).
int32_t CharacterCode(char16_t unit);

// Appends the character whose code is `code`: 0 to 255 one byte, anything
// else two bytes (code / 256 mod 256, then code mod 256), read back through
// the code page. Bytes that make no character there (a lone lead byte, an
// invalid pair) come back as the code page's conversion makes them, and a
// byte that yields nothing at all as "?". Codes below -32768 or above 65535
// throw AutomationError 5.
void AppendCharacter(Text& out, int32_t code);

// The two conversions above, each made once per distinct unit or code: a long
// text of few distinct characters (any Chinese text) then costs one code-page
// conversion per character it uses, not per character it holds. ASCII passes
// straight through. One per call; used from one thread.
class CodeCache {
 public:
  int32_t Code(char16_t unit) { return unit < 0x80 ? unit : SlowCode(unit); }
  void Append(Text& out, int32_t code) {
    if (code >= 0 && code < 0x80) {
      out += static_cast<char16_t>(code);
    } else {
      SlowAppend(out, code);
    }
  }

 private:
  int32_t SlowCode(char16_t unit);
  void SlowAppend(Text& out, int32_t code);

  std::unordered_map<char16_t, int32_t> codes_;
  std::unordered_map<int32_t, Text> characters_;
};

}  // namespace kavrolin::toolkit::scramble
