// The conversions through the Windows code page functions.
#if defined(_WIN32)
#include <windows.h>

#include <stdexcept>
#include <string>

#include "base/code_page_converter.h"

namespace kavrolin::code_page_converter {
namespace {

constexpr UINT kUtf8 = 65001;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// UTF-8 accepts no best-fit or default-character flags; it reports invalid
// input instead.
DWORD ToFlags(UINT code_page) { return code_page == kUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS; }

// Converts one run; false when a unit had no mapping (or was invalid).
bool ConvertRun(UINT code_page, const char16_t* units, int count, std::string& out) {
  const auto* wide = reinterpret_cast<const wchar_t*>(units);
  BOOL used_default = FALSE;
  BOOL* used = code_page == kUtf8 ? nullptr : &used_default;
  const int size = WideCharToMultiByte(code_page, ToFlags(code_page), wide, count, nullptr, 0, nullptr, used);
  if (size <= 0 || used_default) return false;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(size));
  WideCharToMultiByte(code_page, ToFlags(code_page), wide, count, out.data() + at, size, nullptr, nullptr);
  return true;
}

// The longest byte sequence of one character in the code page.
int MaxCharSize(UINT code_page) {
  if (code_page == kUtf8) return 4;
  CPINFO info{};
  return GetCPInfo(code_page, &info) ? static_cast<int>(info.MaxCharSize) : 1;
}

// True when the bytes are the start of a character cut off by the end of the
// run (a lead byte, then only continuation bytes).
bool IsCutShort(UINT code_page, std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest.front());
  if (code_page != kUtf8) return rest.size() == 1 && IsDBCSLeadByteEx(code_page, lead) != FALSE;
  const size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || rest.size() >= needed) return false;
  for (size_t i = 1; i < rest.size(); ++i) {
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

}  // namespace

bool IsLeadByte(int code_page, unsigned char byte) {
  return IsDBCSLeadByteEx(static_cast<UINT>(code_page), byte) != FALSE;
}

void Check(int code_page) {
  if (code_page <= 0 || !IsValidCodePage(static_cast<UINT>(code_page))) {
    throw std::invalid_argument("code page " + std::to_string(code_page) +
                                " cannot be converted on this host");
  }
}

std::string ToCodePage(int code_page, TextView text) {
  const auto cp = static_cast<UINT>(code_page);
  std::string out;
  if (text.empty() || ConvertRun(cp, text.data(), static_cast<int>(text.size()), out)) return out;
  // Some character has no mapping: convert one character at a time so each
  // unmapped UTF-16 unit becomes exactly one "?".
  out.clear();
  for (size_t i = 0; i < text.size();) {
    const size_t n =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
    if (!ConvertRun(cp, text.data() + i, static_cast<int>(n), out)) out.append(n, '?');
    i += n;
  }
  return out;
}

Text FromCodePage(int code_page, std::string_view bytes) {
  const auto cp = static_cast<UINT>(code_page);
  auto convert = [cp](const char* p, int n, Text& out) {
    const int size = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, p, n, nullptr, 0);
    if (size <= 0) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(size));
    MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, p, n, reinterpret_cast<wchar_t*>(out.data() + at), size);
    return true;
  };
  Text out;
  if (bytes.empty() || convert(bytes.data(), static_cast<int>(bytes.size()), out)) return out;
  // Some byte is invalid: take the shortest valid character at each place.
  out.clear();
  const int max_size = MaxCharSize(cp);
  for (size_t i = 0; i < bytes.size();) {
    const int left = static_cast<int>(bytes.size() - i);
    int taken = 0;
    for (int n = 1; n <= max_size && n <= left && taken == 0; ++n) {
      if (convert(bytes.data() + i, n, out)) taken = n;
    }
    if (taken == 0) {
      if (IsCutShort(cp, bytes.substr(i))) break;  // a lone lead byte at the end is dropped
      out.push_back(u'?');
      taken = 1;
    }
    i += static_cast<size_t>(taken);
  }
  return out;
}

}  // namespace kavrolin::code_page_converter
#endif
