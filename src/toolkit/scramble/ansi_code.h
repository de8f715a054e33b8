// Character codes as the scrambling members see them: a character's code in
// the system ANSI code page as a signed 16-bit number, widened with its sign.
// A single-byte character gives 0 to 255; a double-byte one gives lead byte *
// 256 + trail byte, which reads as negative (on code page 936 "中" is D6 D0,
// -10544). Pure functions of the code page; safe from any thread.
#pragma once

#include <array>
#include <climits>
#include <cstdint>
#include <memory>

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
// straight through; the rest is found in tables of 256 entries, made for each
// high byte as it is first met. One per call; used from one thread.
class CodeCache {
 public:
  CodeCache();
  ~CodeCache();
  CodeCache(const CodeCache&) = delete;
  CodeCache& operator=(const CodeCache&) = delete;

  int32_t Code(char16_t unit) {
    if (unit < 0x80) return unit;
    const CodeTable* table = codes_[unit >> 8].get();
    if (table != nullptr && (*table)[unit & 0xFF] != kUnknownCode) return (*table)[unit & 0xFF];
    return SlowCode(unit);
  }
  void Append(Text& out, int32_t code) {
    char16_t units[2];
    const char16_t* end = Put(units, code);
    if (end != nullptr) {
      out.append(units, static_cast<size_t>(end - units));
    } else {
      AppendCharacter(out, code);
    }
  }
  // Put(to, Code(unit) ^ key) for a key below 128, which changes only the low
  // byte of a code, so the unit's own entry leads straight to the table of its
  // results.
  char16_t* PutXor(char16_t* to, char16_t unit, uint8_t key) {
    const UnitTable* table = units_[unit >> 8].get();
    if (table != nullptr) {
      const UnitEntry& entry = (*table)[unit & 0xFF];
      if (entry.results != nullptr) {
        const Character c = (*entry.results)[static_cast<uint8_t>(entry.code ^ key)];
        if (c.length != 0) {
          to[0] = c.units[0];
          to[1] = c.units[1];
          return to + c.length;
        }
      }
    }
    return SlowPutXor(to, unit, key);
  }
  // The character of `code` written at `to`, which has room for two units
  // (both may be written); the end of what it wrote, or nullptr, writing
  // nothing, when the character is longer than two units.
  char16_t* Put(char16_t* to, int32_t code) {
    if (code >= 0 && code < 0x80) {
      *to = static_cast<char16_t>(code);
      return to + 1;
    }
    // Codes c and c - 65536 are the same two bytes, so 16 bits name a code
    // (codes out of range take the slow way, which refuses them).
    const auto key = static_cast<uint16_t>(code);
    const CharacterTable* table =
        code >= -32768 && code <= 65535 ? characters_[key >> 8].get() : nullptr;
    if (table != nullptr) {
      // One load: both units (written whether or not the second is used) and
      // the length, 0 for a character not converted yet.
      const Character c = (*table)[key & 0xFF];
      if (c.length != 0) {
        to[0] = c.units[0];
        to[1] = c.units[1];
        return to + c.length;
      }
    }
    return SlowPut(to, code);
  }

 private:
  static constexpr int32_t kUnknownCode = INT32_MIN;
  using CodeTable = std::array<int32_t, 256>;
  // A character of one or two units; length 0 until converted. A longer
  // conversion (which no double-byte code page makes) is not kept.
  struct alignas(8) Character {
    char16_t units[2] = {};
    uint16_t length = 0;
  };
  using CharacterTable = std::array<Character, 256>;

  int32_t SlowCode(char16_t unit);
  // A unit's code and the table its codes XOR a key fall in.
  struct UnitEntry {
    const CharacterTable* results = nullptr;
    int32_t code = 0;
  };
  using UnitTable = std::array<UnitEntry, 256>;

  char16_t* SlowPut(char16_t* to, int32_t code);
  char16_t* SlowPutXor(char16_t* to, char16_t unit, uint8_t key);
  CharacterTable& CharactersOf(uint16_t key);

  std::array<std::unique_ptr<CodeTable>, 256> codes_;
  std::array<std::unique_ptr<CharacterTable>, 256> characters_;
  std::array<std::unique_ptr<UnitTable>, 256> units_;
};

}  // namespace kavrolin::toolkit::scramble
