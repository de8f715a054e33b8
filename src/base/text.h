// Text: the automation string. UTF-16 code units; lengths and positions count
// units. UTF-8 appears only at the edges (CLI, POSIX file names), through the
// two conversions below.
#pragma once

#include <string>
#include <string_view>

namespace kavrolin {

using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 -> UTF-16. Malformed sequences become U+FFFD, one per bad byte.
Text FromUtf8(std::string_view utf8);

// UTF-16 -> UTF-8. A lone surrogate becomes U+FFFD.
std::string ToUtf8(TextView text);

// The length of the leading run of ASCII units (below 0x80), looked at a
// block at a time: most names, paths and records are ASCII throughout, and
// such a run converts unit for unit in every code page served.
size_t AsciiRun(TextView text);
size_t AsciiRun(std::string_view bytes);

// ASCII-only helpers: enough for the case rules of names, drive letters and
// mask tokens, which are ASCII on every system served.
constexpr char16_t AsciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}
constexpr char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}
bool EqualsIgnoreCase(TextView a, TextView b);

// Plain ASCII literal text, for messages and fixed strings built at run time.
Text AsciiText(std::string_view ascii);

}  // namespace kavrolin
