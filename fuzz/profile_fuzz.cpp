// The profile engine's text rules on a random file and a random sequence of
// reads and writes. Invariants: a value written is read back; a deleted key
// or section reads as missing; every line outside the sections named in a
// write keeps its bytes and its order; any bytes parse.
#include <string>
#include <vector>

#include "rules/ini_text.h"
#include "fuzz_support.h"

using namespace kavrolin;
namespace ini = kavrolin::rules::ini;

namespace {

constexpr int kCodePage = 936;

// Names and values the rules keep as they are: no blanks at the ends, no
// quotes, no line breaks, no "=" or "]".
std::string Word(FuzzedDataProvider& data, size_t max) {
  static constexpr std::string_view kLetters = "abcXYZ019_.\xD6\xD0";
  std::string word;
  const size_t length = data.ConsumeIntegralInRange<size_t>(1, max);
  for (size_t i = 0; i < length; ++i) word += kLetters[data.ConsumeIntegral<uint8_t>() % kLetters.size()];
  // Keep double-byte characters whole: a lead byte is followed by its trail.
  if (!word.empty() && word.back() == '\xD6') word += '\xD0';
  for (size_t i = 0; i + 1 < word.size(); ++i) {
    if (word[i] == '\xD6') { word[i + 1] = '\xD0'; ++i; }
    else if (word[i] == '\xD0') word[i] = 'q';  // no lone trail byte
  }
  if (word.back() == '\xD0' && (word.size() < 2 || word[word.size() - 2] != '\xD6')) word.back() = 'q';
  return word;
}

std::string Read(const rules::ini::IniText& text, const std::string& section, const std::string& key) {
  char buffer[256];
  const uint32_t n = rules::ini::AnswerGetString(&text, section.c_str(), key.c_str(), "\x01missing", buffer,
                                          sizeof buffer);
  return std::string(buffer, n);
}

// The texts of the lines that lie outside every section named `section`.
std::vector<std::string_view> LinesOutside(const rules::ini::IniText& text, const std::string& section) {
  std::vector<bool> inside(text.lines().size(), false);
  for (const auto& sec : text.sections()) {
    if (!text.SameName(sec.name, section)) continue;
    if (sec.header >= 0) inside[sec.header] = true;
    for (size_t i = sec.first; i < sec.end; ++i) inside[i] = true;
  }
  std::vector<std::string_view> out;
  for (size_t i = 0; i < text.lines().size(); ++i) {
    if (inside[i]) continue;
    const auto& line = text.lines()[i];
    out.push_back(std::string_view(text.bytes()).substr(line.start, line.end - line.start));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  std::string file = data.ConsumeRandomLengthString(2048);
  for (int step = 0; step < 8 && data.remaining_bytes() > 0; ++step) {
    const rules::ini::IniText before(file, kCodePage);
    const std::string section = Word(data, 6), key = Word(data, 6);
    const int op = data.ConsumeIntegralInRange(0, 3);
    rules::ini::Edit edit;
    std::string value;
    if (op == 0) {
      value = Word(data, 12);
      edit = rules::ini::EditForWriteString(before, section.c_str(), key.c_str(), value.c_str());
    } else if (op == 1) {
      edit = rules::ini::EditForWriteString(before, section.c_str(), key.c_str(), nullptr);
    } else if (op == 2) {
      edit = rules::ini::EditForWriteString(before, section.c_str(), nullptr, nullptr);
    } else {
      // A random section list goes in whole, zeros and all.
      std::string entries = data.ConsumeRandomLengthString(128);
      entries.append(2, '\0');
      edit = rules::ini::EditForWriteSection(before, section.c_str(), entries.c_str());
      Read(before, section, key);
      if (edit.outcome == rules::ini::Edit::Outcome::kChanged) file = edit.bytes;
      continue;
    }
    FUZZ_CHECK(edit.outcome != rules::ini::Edit::Outcome::kRefused);
    if (edit.outcome == rules::ini::Edit::Outcome::kChanged) file = edit.bytes;
    const rules::ini::IniText after(file, kCodePage);
    if (op == 0) FUZZ_CHECK(Read(after, section, key) == value);
    else FUZZ_CHECK(Read(after, section, key) == "\x01missing");
    FUZZ_CHECK(LinesOutside(after, section) == LinesOutside(before, section));
  }
  return 0;
}
