// The registry's text form, as the Windows registry editor writes and reads
// it. Pure: no registry, no files; both directions work on bytes.
//
// A text starts with its header line: "Windows Registry Editor Version 5.00"
// (UTF-8, with or without a byte-order mark, or UTF-16LE with its mark, as
// the Windows editor saves it) or "REGEDIT4" (the ANSI code page). Then:
//   [HKEY_CURRENT_USER\Software\Shop]   a key, made with every missing level
//   [-HKEY_CURRENT_USER\Software\Old]   a key deleted with everything below it
//   "Name"="text"                       REG_SZ; \\ and \" are the escapes
//   @="text"                            the key's default value
//   "Count"=dword:0000002a              REG_DWORD, 1 to 8 hexadecimal digits
//   "Raw"=hex:01,02,ff                  REG_BINARY
//   "Path"=hex(2):25,00,...             any type N (hexadecimal) with its bytes
//   "Name"=-                            a value deleted
// Roots take their long names or HKCR, HKCU, HKLM, HKU, HKCC, in any letter
// case. A hex list continues on the next line after a trailing "\". Blank
// lines and lines starting with ";" are skipped; lines end at CR LF or LF.
//
// Data is held as the registry holds it: REG_SZ, REG_EXPAND_SZ and
// REG_MULTI_SZ in the ANSI code page. Their hex(1)/hex(2)/hex(7) bytes are
// UTF-16LE in the version 5.00 form (converted both ways) and the ANSI bytes
// themselves in the REGEDIT4 form. Bytes the code page cannot decode do not
// survive a trip through the version 5.00 form.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "rules/registry_types.h"

namespace kavrolin::rules {

enum class RegTextForm { kVersion5, kRegedit4 };

struct RegTextValue {
  size_t line = 0;      // where it starts in the text (from 1); 0 when made in code
  Text name;            // empty: the default value, "@"
  bool remove = false;  // "name"=-
  uint32_t type = reg::kSz;
  std::string data;  // as the registry holds it
};

struct RegTextKey {
  size_t line = 0;
  RegHandle root = 0;
  Text path;            // below the root, "\" between levels; empty: the root
  bool remove = false;  // [-KEY]
  std::vector<RegTextValue> values;
};

struct RegText {
  RegTextForm form = RegTextForm::kVersion5;
  std::vector<RegTextKey> keys;
};

// The text's units as UTF-16LE bytes, without a byte-order mark: the form of
// string data in hex lists of version 5.00, and of a whole text as the
// Windows editor saves it (after its mark, "\xFF\xFE").
std::string TextToUtf16Le(TextView text);

// A text that is not in the form above: the first bad line and what is wrong.
class RegTextError : public std::runtime_error {
 public:
  RegTextError(size_t line, const std::string& problem);
  size_t line() const { return line_; }

 private:
  size_t line_;
};

// Throws RegTextError naming the line of the first fault; nothing is
// returned for a text with any fault.
RegText ParseRegText(std::string_view bytes);

// The text, CR LF line ends, each key followed by a blank line: UTF-8
// without a byte-order mark for kVersion5, the ANSI code page for kRegedit4.
// A REG_SZ holding exactly one zero, at its end, no line break and only
// bytes the code page decodes is written "name"="text"; a REG_DWORD of four bytes dword:; any other value
// hex(N): (hex: for REG_BINARY), 25 bytes a line. Throws RegTextError,
// naming the line it would have written, for a key or value name holding a
// line feed: the form cannot hold one, and the line would read back as other
// keys and values.
std::string WriteRegText(const RegText& text);

// "HKEY_CURRENT_USER\Software" or "HKCU\Software" split into the root's
// handle value and the path below it; false for a name that is no root.
bool SplitRegPath(TextView full, RegHandle& root, Text& path);

// The long name of a root ("HKEY_CURRENT_USER"); empty for other handles.
Text RegRootName(RegHandle root);

}  // namespace kavrolin::rules
