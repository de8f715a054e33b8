#include "rules/registry_text.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/ansi.h"

namespace kavrolin::rules {
namespace {

constexpr std::u16string_view kVersion5Header = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kRegedit4Header = u"REGEDIT4";
constexpr size_t kLineWidth = 80;  // hex lists wrap before this, as the editor wraps them
constexpr char16_t kDigits[] = u"0123456789abcdef";

struct Root {
  RegHandle handle;
  std::u16string_view name;
  std::u16string_view short_name;
};

constexpr std::array<Root, 7> kRoots = {{
    {reg::kClassesRoot, u"HKEY_CLASSES_ROOT", u"HKCR"},
    {reg::kCurrentUser, u"HKEY_CURRENT_USER", u"HKCU"},
    {reg::kLocalMachine, u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {reg::kUsers, u"HKEY_USERS", u"HKU"},
    {reg::kPerformanceData, u"HKEY_PERFORMANCE_DATA", u""},
    {reg::kCurrentConfig, u"HKEY_CURRENT_CONFIG", u"HKCC"},
    {reg::kDynData, u"HKEY_DYN_DATA", u""},
}};

// The string types, whose hex bytes are UTF-16LE in the version 5.00 form.
bool IsStringType(uint32_t type) {
  return type == reg::kSz || type == reg::kExpandSz || type == reg::kMultiSz;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

TextView Trim(TextView text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithIgnoreCase(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

Text Utf16LeToText(std::string_view bytes) {
  Text text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                         static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return text;
}

// The whole text as UTF-16, its form read from the byte-order mark or the
// header: a mark means version 5.00 whatever the header says.
Text Decode(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf16LeToText(bytes.substr(2));
  if (bytes.starts_with("\xEF\xBB\xBF")) return FromUtf8(bytes.substr(3));
  if (bytes.starts_with("REGEDIT4")) return FromAnsi(bytes);
  return FromUtf8(bytes);
}

// The lines of a text, numbered from 1, each without its line end.
class Lines {
 public:
  explicit Lines(TextView text) : text_(text) {}
  bool Next(TextView& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find(u'\n', pos_);
    if (end == TextView::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++number_;
    return true;
  }
  size_t number() const { return number_; }

 private:
  TextView text_;
  size_t pos_ = 0;
  size_t number_ = 0;
};

class Parser {
 public:
  Parser(TextView text, RegTextForm form) : lines_(text), form_(form) {}

  RegText Run() {
    RegText result;
    result.form = form_;
    TextView line;
    lines_.Next(line);  // the header, checked by the caller
    while (lines_.Next(line)) {
      const TextView trimmed = Trim(line);
      if (trimmed.empty() || trimmed.front() == u';') continue;
      if (trimmed.front() == u'[') {
        result.keys.push_back(Key(trimmed));
        continue;
      }
      if (result.keys.empty()) Fail("a value before the first [KEY] line");
      if (result.keys.back().remove) Fail("a value under a key that is being deleted");
      result.keys.back().values.push_back(Value(trimmed));
    }
    return result;
  }

 private:
  [[noreturn]] void Fail(const std::string& problem) const {
    throw RegTextError(lines_.number(), problem);
  }

  RegTextKey Key(TextView line) {
    RegTextKey key;
    key.line = lines_.number();
    const size_t close = line.rfind(u']');
    if (close == TextView::npos || close != line.size() - 1) {
      Fail("a key line must end with \"]\"");
    }
    TextView full = line.substr(1, close - 1);
    if (!full.empty() && full.front() == u'-') {
      key.remove = true;
      full.remove_prefix(1);
    }
    if (!SplitRegPath(full, key.root, key.path)) {
      Fail("\"" + ToUtf8(full) + "\" does not start with a root such as HKEY_CURRENT_USER");
    }
    if (key.remove && key.path.empty()) Fail("a root cannot be deleted");
    return key;
  }

  RegTextValue Value(TextView line) {
    RegTextValue value;
    value.line = lines_.number();
    TextView rest = line;
    if (rest.front() == u'@') {
      rest.remove_prefix(1);
    } else if (rest.front() == u'"') {
      value.name = Quoted(rest);
    } else {
      Fail("expected \"name\"=value or @=value");
    }
    rest = Trim(rest);
    if (rest.empty() || rest.front() != u'=') Fail("expected \"=\" after the value name");
    rest = Trim(rest.substr(1));
    if (rest == u"-") {
      value.remove = true;
    } else if (!rest.empty() && rest.front() == u'"') {
      const Text text = Quoted(rest);
      if (!Trim(rest).empty()) Fail("text after the closing quote");
      value.type = reg::kSz;
      value.data = ToAnsi(text) + '\0';
    } else if (StartsWithIgnoreCase(rest, u"dword:")) {
      value.type = reg::kDword;
      value.data = Dword(Trim(rest.substr(6)));
    } else if (StartsWithIgnoreCase(rest, u"hex")) {
      Hex(rest.substr(3), value);
    } else {
      Fail("a value must be \"text\", dword:, hex:, hex(N): or -");
    }
    return value;
  }

  // A quoted text at the start of `rest`, its escapes undone; `rest` is left
  // after the closing quote.
  Text Quoted(TextView& rest) {
    Text text;
    for (size_t i = 1; i < rest.size(); ++i) {
      const char16_t c = rest[i];
      if (c == u'"') {
        rest.remove_prefix(i + 1);
        return text;
      }
      if (c == u'\\') {
        if (i + 1 >= rest.size() || (rest[i + 1] != u'\\' && rest[i + 1] != u'"')) {
          Fail("a backslash in quotes must come before \\ or \"");
        }
        ++i;
      }
      text.push_back(rest[i]);
    }
    Fail("a quoted text has no closing quote");
  }

  std::string Dword(TextView digits) {
    if (digits.empty() || digits.size() > 8) Fail("dword: takes 1 to 8 hexadecimal digits");
    uint32_t number = 0;
    for (char16_t c : digits) {
      const int digit = HexDigit(c);
      if (digit < 0) Fail("dword: takes 1 to 8 hexadecimal digits");
      number = number << 4 | static_cast<uint32_t>(digit);
    }
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>(number >> (8 * i));
    return data;
  }

  // After "hex": an optional "(N)", ":", then bytes, continued on the next
  // lines while a line ends with "\".
  void Hex(TextView rest, RegTextValue& value) {
    value.type = reg::kBinary;
    if (!rest.empty() && rest.front() == u'(') {
      const size_t close = rest.find(u')');
      const TextView digits = rest.substr(1, close == TextView::npos ? 0 : close - 1);
      if (close == TextView::npos || digits.empty() || digits.size() > 8) {
        Fail("hex(N): takes 1 to 8 hexadecimal digits for N");
      }
      value.type = 0;
      for (char16_t c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) Fail("hex(N): takes 1 to 8 hexadecimal digits for N");
        value.type = value.type << 4 | static_cast<uint32_t>(digit);
      }
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != u':') Fail("expected \":\" after hex");
    Text list(Trim(rest.substr(1)));
    TextView next;
    while (!list.empty() && list.back() == u'\\') {
      list.pop_back();
      if (!lines_.Next(next)) Fail("the hex list continues past the end of the text");
      list += Trim(next);
    }
    std::string bytes;
    for (size_t start = 0; start <= list.size();) {
      size_t comma = list.find(u',', start);
      if (comma == Text::npos) comma = list.size();
      const TextView item = Trim(TextView(list).substr(start, comma - start));
      const bool last = comma == list.size();
      if (item.empty() && last) break;  // an empty list, or a comma at the end
      if (item.empty() || item.size() > 2 || HexDigit(item[0]) < 0 ||
          (item.size() == 2 && HexDigit(item[1]) < 0)) {
        Fail("\"" + ToUtf8(item) + "\" is not a byte of two hexadecimal digits");
      }
      int byte = HexDigit(item[0]);
      if (item.size() == 2) byte = byte << 4 | HexDigit(item[1]);
      bytes.push_back(static_cast<char>(byte));
      start = comma + 1;
    }
    value.data = form_ == RegTextForm::kVersion5 && IsStringType(value.type)
                     ? ToAnsi(Utf16LeToText(bytes))
                     : std::move(bytes);
  }

  Lines lines_;
  RegTextForm form_;
};

// --- writing

Text Escaped(TextView text) {
  Text out;
  for (char16_t c : text) {
    if (c == u'\\' || c == u'"') out.push_back(u'\\');
    out.push_back(c);
  }
  return out;
}

// A REG_SZ that reads back the same from "name"="text": bytes the code page
// cannot decode would come back as "?", so such a value goes in hex.
std::optional<Text> PlainString(const RegTextValue& value) {
  if (value.type != reg::kSz || value.data.empty()) return std::nullopt;
  const std::string_view bytes(value.data.data(), value.data.size() - 1);
  if (value.data.back() != '\0' || bytes.find('\0') != std::string_view::npos) return std::nullopt;
  Text text = FromAnsi(bytes);
  if (text.find_first_of(u"\r\n") != Text::npos || ToAnsi(text) != bytes) return std::nullopt;
  return text;
}

void WriteHex(const RegTextValue& value, RegTextForm form, Text& out, size_t line_start) {
  if (value.type == reg::kBinary) {
    out += u"hex:";
  } else {
    out += u"hex(";
    Text digits;
    for (uint32_t type = value.type; digits.empty() || type != 0; type >>= 4) {
      digits.insert(digits.begin(), kDigits[type & 0xF]);
    }
    out += digits + u"):";
  }
  const std::string bytes = form == RegTextForm::kVersion5 && IsStringType(value.type)
                                ? TextToUtf16Le(FromAnsi(value.data))
                                : value.data;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<uint8_t>(bytes[i]);
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0xF]);
    if (i + 1 == bytes.size()) break;
    out.push_back(u',');
    // Room for the next byte, its comma and the "\" that would end the line.
    if (out.size() - line_start + 4 > kLineWidth) {
      out += u"\\\r\n  ";
      line_start = out.size() - 2;
    }
  }
}

void WriteValue(const RegTextValue& value, RegTextForm form, Text& out) {
  const size_t line_start = out.size();
  out += value.name.empty() ? Text(u"@") : u"\"" + Escaped(value.name) + u"\"";
  out += u'=';
  if (value.remove) {
    out += u'-';
  } else if (const std::optional<Text> text = PlainString(value)) {
    out += u"\"" + Escaped(*text) + u"\"";
  } else if (value.type == reg::kDword && value.data.size() == 4) {
    out += u"dword:";
    for (int i = 3; i >= 0; --i) {
      const auto byte = static_cast<uint8_t>(value.data[i]);
      out.push_back(kDigits[byte >> 4]);
      out.push_back(kDigits[byte & 0xF]);
    }
  } else {
    WriteHex(value, form, out, line_start);
  }
  out += u"\r\n";
}

// A name with a line feed would end its line early: the rest would read as
// lines of their own (a key name "a]", a line feed, "[HKEY_LOCAL_MACHINE\x"
// would read back as two keys), and the text form has no escape for it.
void RefuseLineBreak(TextView name, const char* what, const Text& out) {
  if (name.find(u'\n') == TextView::npos) return;
  const size_t line = static_cast<size_t>(std::count(out.begin(), out.end(), u'\n')) + 1;
  throw RegTextError(line, std::string(what) + " \"" + ToUtf8(name) +
                               "\" holds a line break, which the text form cannot hold");
}

}  // namespace

std::string TextToUtf16Le(TextView text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

RegTextError::RegTextError(size_t line, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}

RegText ParseRegText(std::string_view bytes) {
  const Text text = Decode(bytes);
  Lines lines(text);
  TextView header;
  lines.Next(header);
  header = Trim(header);
  RegTextForm form;
  if (header == kVersion5Header) {
    form = RegTextForm::kVersion5;
  } else if (header == kRegedit4Header) {
    form = RegTextForm::kRegedit4;
  } else {
    throw RegTextError(1,
                       "the first line must be \"Windows Registry Editor Version 5.00\" or "
                       "\"REGEDIT4\"");
  }
  return Parser(text, form).Run();
}

std::string WriteRegText(const RegText& text) {
  Text out(text.form == RegTextForm::kVersion5 ? kVersion5Header : kRegedit4Header);
  out += u"\r\n\r\n";
  for (const RegTextKey& key : text.keys) {
    RefuseLineBreak(key.path, "the key name", out);
    out += key.remove ? u"[-" : u"[";
    out += RegRootName(key.root);
    if (!key.path.empty()) out += u"\\" + key.path;
    out += u"]\r\n";
    for (const RegTextValue& value : key.values) {
      RefuseLineBreak(value.name, "the value name", out);
      WriteValue(value, text.form, out);
    }
    out += u"\r\n";
  }
  return text.form == RegTextForm::kVersion5 ? ToUtf8(out) : ToAnsi(out);
}

bool SplitRegPath(TextView full, RegHandle& root, Text& path) {
  const size_t slash = full.find(u'\\');
  const TextView name = full.substr(0, slash);
  for (const Root& candidate : kRoots) {
    if (EqualsIgnoreCase(name, candidate.name) ||
        (!candidate.short_name.empty() && EqualsIgnoreCase(name, candidate.short_name))) {
      root = candidate.handle;
      path = slash == TextView::npos ? Text() : Text(full.substr(slash + 1));
      return true;
    }
  }
  return false;
}

Text RegRootName(RegHandle root) {
  for (const Root& candidate : kRoots) {
    if (candidate.handle == root) return Text(candidate.name);
  }
  return Text();
}

}  // namespace kavrolin::rules
