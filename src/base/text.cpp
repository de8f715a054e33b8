#include "base/text.h"

#include <cstddef>
#include <type_traits>

namespace kavrolin {

namespace {

template <typename Unit>
size_t AsciiRunOf(std::basic_string_view<Unit> s) {
  using Unsigned = std::make_unsigned_t<Unit>;
  constexpr size_t kBlock = 16;
  size_t i = 0;
  for (; i + kBlock <= s.size(); i += kBlock) {
    Unsigned any = 0;
    for (size_t k = 0; k < kBlock; ++k) any |= static_cast<Unsigned>(s[i + k]);
    if (any >= 0x80) break;
  }
  while (i < s.size() && static_cast<Unsigned>(s[i]) < 0x80) ++i;
  return i;
}

}  // namespace

size_t AsciiRun(TextView text) { return AsciiRunOf(text); }
size_t AsciiRun(std::string_view bytes) { return AsciiRunOf(bytes); }

Text FromUtf8(std::string_view s) {
  size_t i = AsciiRun(s);
  Text out(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(i));
  const size_t n = s.size();
  if (i == n) return out;
  out.reserve(n);
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
      len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      len = 4, cp = b0 & 0x07, min = 0x10000;
    }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (b & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string ToUtf8(TextView t) {
  const size_t ascii = AsciiRun(t);
  std::string out(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(ascii));
  if (ascii == t.size()) return out;
  out.reserve(t.size() + (t.size() - ascii) * 2);
  for (size_t i = ascii; i < t.size(); ++i) {
    char32_t cp = t[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 &&
        t[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (t[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

bool EqualsIgnoreCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

Text AsciiText(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

}  // namespace kavrolin
