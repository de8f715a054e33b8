// The registry's text form. Any bytes, in the version 5.00 forms (UTF-8, with
// or without its mark, or UTF-16LE) or the REGEDIT4 form, parse to keys or to
// a RegTextError, never a crash. Invariants: a text that parsed, written
// again, reads back to the same keys and values; and keys and values as an
// export holds them (names and data as the registry keeps them) read back
// the same from what the export writes, in both forms, or the writer refuses
// a name that holds a line feed.
#include <string>
#include <string_view>
#include <vector>

#include "base/ansi.h"
#include "platform/registry.h"
#include "rules/registry_text.h"
#include "fuzz_support.h"

using namespace kavrolin;
using namespace std::string_view_literals;
using rules::RegText;
using rules::RegTextForm;

namespace {

constexpr platform::RegHandle kRoots[] = {
    platform::reg::kClassesRoot,     platform::reg::kCurrentUser,   platform::reg::kLocalMachine,
    platform::reg::kUsers,           platform::reg::kPerformanceData, platform::reg::kCurrentConfig,
    platform::reg::kDynData};

bool IsStringType(uint32_t type) {
  return type == platform::reg::kSz || type == platform::reg::kExpandSz ||
         type == platform::reg::kMultiSz;
}

// What an import stores: names and paths in the code page, and the data;
// string data that went through the version 5.00 form as the code page
// decodes it (bytes it cannot decode do not survive, as the form says).
std::vector<std::string> Stored(const RegText& text, bool through_version5) {
  std::vector<std::string> out;
  for (const auto& key : text.keys) {
    out.push_back((key.remove ? "[-" : "[") + std::to_string(key.root) + "\\" + ToAnsi(key.path));
    for (const auto& value : key.values) {
      std::string data = value.data;
      if (through_version5 && IsStringType(value.type)) data = ToAnsi(FromAnsi(data));
      out.push_back("\"" + ToAnsi(value.name) + (value.remove ? "\"=-" : "\"=") +
                    std::to_string(value.type) + ":" + data);
    }
  }
  return out;
}

// Pieces the parser looks for, so that many random texts get past the header
// and into keys, values and hex lists.
constexpr std::u16string_view kPieces[] = {
    u"\r\n", u"\n", u"[", u"]", u"[-", u"HKEY_CURRENT_USER\\", u"hklm\\", u"HKCR", u"\\", u"\"",
    u"\\\"", u"\\\\", u"=", u"@", u"-", u"dword:", u"hex:", u"hex(2):", u"hex(7):", u"hex(1):",
    u"hex(b):", u",", u"00", u"ff", u"4e", u"2d", u"7", u"\\\r\n  ", u"; note", u" ", u"\t",
    u"Shop", u"中文", u"\xD800", u"\0"sv, u"ffffffff", u"123456789",
};

Text PiecesText(FuzzedDataProvider& data) {
  Text out;
  const size_t count = data.ConsumeIntegralInRange<size_t>(0, 48);
  for (size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
    out += kPieces[data.ConsumeIntegralInRange<size_t>(0, std::size(kPieces) - 1)];
  }
  return out;
}

void ParseAnything(FuzzedDataProvider& data) {
  const int header = data.ConsumeIntegralInRange(0, 4);
  const bool pieces = data.ConsumeBool();
  Text body = pieces ? PiecesText(data) : Text();
  std::string raw = pieces ? std::string() : data.ConsumeRemainingBytesAsString();
  std::string bytes;
  switch (header) {
    case 0: bytes = ToUtf8(u"Windows Registry Editor Version 5.00\r\n" + body); break;
    case 1: bytes = "\xEF\xBB\xBF" + ToUtf8(u"Windows Registry Editor Version 5.00\r\n" + body); break;
    case 2:
      // Raw bytes after a UTF-16 header are taken two a unit.
      bytes = "\xFF\xFE" +
              rules::TextToUtf16Le(u"Windows Registry Editor Version 5.00\r\n" + body) + raw;
      raw.clear();
      break;
    case 3: bytes = ToAnsi(u"REGEDIT4\r\n" + body); break;
    default: break;  // no header of our own: the bytes alone
  }
  bytes += raw;
  RegText parsed;
  try {
    parsed = rules::ParseRegText(bytes);
  } catch (const rules::RegTextError& e) {
    FUZZ_CHECK(e.line() >= 1);
    return;
  }
  const bool version5 = parsed.form == RegTextForm::kVersion5;
  const RegText again = rules::ParseRegText(rules::WriteRegText(parsed));
  FUZZ_CHECK(again.form == parsed.form);
  FUZZ_CHECK(Stored(again, version5) == Stored(parsed, version5));
}

// Names as the registry may hold them: any code-page text, line breaks and
// brackets included; key names hold no "\" and are never empty.
Text Name(FuzzedDataProvider& data, bool key_name) {
  Text name = fuzz::FromAlphabet(data, u"a ]\"[=\\;@-\r\n\t中\0"sv, 12);
  if (key_name) {
    std::erase(name, u'\\');
    if (name.empty()) name = u"k";
  }
  return FromAnsi(ToAnsi(name));
}

void ExportAndImport(FuzzedDataProvider& data) {
  RegText text;
  text.form = data.ConsumeBool() ? RegTextForm::kVersion5 : RegTextForm::kRegedit4;
  const size_t keys = data.ConsumeIntegralInRange<size_t>(1, 4);
  for (size_t k = 0; k < keys; ++k) {
    rules::RegTextKey key;
    key.root = kRoots[data.ConsumeIntegralInRange<size_t>(0, std::size(kRoots) - 1)];
    const size_t levels = data.ConsumeIntegralInRange<size_t>(0, 3);
    for (size_t level = 0; level < levels; ++level) {
      key.path += (level ? u"\\" : u"") + Name(data, true);
    }
    const size_t values = data.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t v = 0; v < values; ++v) {
      rules::RegTextValue value;
      value.name = Name(data, false);
      constexpr uint32_t kTypes[] = {platform::reg::kSz,     platform::reg::kExpandSz,
                                     platform::reg::kBinary, platform::reg::kDword,
                                     platform::reg::kMultiSz, platform::reg::kQword};
      value.type = data.ConsumeBool() ? kTypes[data.ConsumeIntegralInRange<size_t>(0, 5)]
                                      : data.ConsumeIntegral<uint32_t>();
      value.data = data.ConsumeBool() ? ToAnsi(fuzz::Units(data, 40)) + '\0'
                                      : data.ConsumeRandomLengthString(120);
      key.values.push_back(std::move(value));
    }
    text.keys.push_back(std::move(key));
  }
  const bool version5 = text.form == RegTextForm::kVersion5;
  bool line_break = false;
  for (const auto& key : text.keys) {
    line_break |= key.path.find(u'\n') != Text::npos;
    for (const auto& value : key.values) line_break |= value.name.find(u'\n') != Text::npos;
  }
  std::string written;
  try {
    written = rules::WriteRegText(text);
  } catch (const rules::RegTextError& e) {
    // The one refusal: a name the form cannot hold.
    FUZZ_CHECK(line_break && e.line() >= 3);
    return;
  }
  FUZZ_CHECK(!line_break);
  RegText read;
  try {
    read = rules::ParseRegText(written);
  } catch (const rules::RegTextError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    FUZZ_CHECK(!"an export reads back");
  }
  FUZZ_CHECK(read.form == text.form);
  FUZZ_CHECK(Stored(read, version5) == Stored(text, version5));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  if (data.ConsumeBool()) {
    ParseAnything(data);
  } else {
    ExportAndImport(data);
  }
  return 0;
}
