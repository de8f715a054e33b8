#include "toolkit/scramble/ansi_code.h"

#include <string>

#include "base/ansi.h"
#include "base/automation_error.h"

namespace kavrolin::toolkit::scramble {

// Every code page served keeps ASCII as it is, so the common case needs no
// conversion.
int32_t CharacterCode(char16_t unit) {
  if (unit < 0x80) return unit;
  const std::string bytes = ToAnsi(TextView(&unit, 1));
  if (bytes.size() == 1) return static_cast<uint8_t>(bytes[0]);
  if (bytes.size() == 2) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) << 8 |
                                                      static_cast<uint8_t>(bytes[1])));
  }
  return u'?';
}

void AppendCharacter(Text& out, int32_t code) {
  if (code < -32768 || code > 65535) throw AutomationError(ErrorNumber::kInvalidCall);
  if (code >= 0 && code < 0x80) {
    out += static_cast<char16_t>(code);
    return;
  }
  std::string bytes;
  if (code >= 0 && code <= 0xFF) {
    bytes += static_cast<char>(code);
  } else {
    const auto two = static_cast<uint16_t>(code);
    bytes += static_cast<char>(two >> 8);
    bytes += static_cast<char>(two & 0xFF);
  }
  const Text text = FromAnsi(bytes);
  out += text.empty() ? Text(u"?") : text;
}

int32_t CodeCache::SlowCode(char16_t unit) {
  const auto [it, added] = codes_.try_emplace(unit, 0);
  if (added) it->second = CharacterCode(unit);
  return it->second;
}

void CodeCache::SlowAppend(Text& out, int32_t code) {
  auto it = characters_.find(code);
  if (it == characters_.end()) {
    Text character;
    AppendCharacter(character, code);
    it = characters_.emplace(code, std::move(character)).first;
  }
  out += it->second;
}

}  // namespace kavrolin::toolkit::scramble
