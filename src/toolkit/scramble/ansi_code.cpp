#include "toolkit/scramble/ansi_code.h"

#include <algorithm>
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

CodeCache::CodeCache() = default;
CodeCache::~CodeCache() = default;

int32_t CodeCache::SlowCode(char16_t unit) {
  auto& table = codes_[unit >> 8];
  if (!table) {
    table = std::make_unique<CodeTable>();
    table->fill(kUnknownCode);
  }
  return (*table)[unit & 0xFF] = CharacterCode(unit);
}

char16_t* CodeCache::SlowPut(char16_t* to, int32_t code) {
  Text character;
  AppendCharacter(character, code);  // throws for a code out of range
  if (character.size() > 2) return nullptr;
  const auto key = static_cast<uint16_t>(code);
  Character& c = CharactersOf(key)[key & 0xFF];
  character.copy(c.units, character.size());
  c.length = static_cast<uint16_t>(character.size());
  return std::copy(character.begin(), character.end(), to);
}

CodeCache::CharacterTable& CodeCache::CharactersOf(uint16_t key) {
  auto& table = characters_[key >> 8];
  if (!table) table = std::make_unique<CharacterTable>();
  return *table;
}

char16_t* CodeCache::SlowPutXor(char16_t* to, char16_t unit, uint8_t key) {
  const int32_t code = Code(unit);
  // ASCII results are never kept in a table: such a unit stays on this path.
  if (code >= 0x80 || code < 0) {
    auto& table = units_[unit >> 8];
    if (!table) table = std::make_unique<UnitTable>();
    (*table)[unit & 0xFF] = {&CharactersOf(static_cast<uint16_t>(code)), code};
  }
  return Put(to, code ^ key);
}

}  // namespace kavrolin::toolkit::scramble
