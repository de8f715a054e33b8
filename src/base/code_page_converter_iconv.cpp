// The conversions through iconv, for hosts other than Windows.
#if !defined(_WIN32)
#include <iconv.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/code_page_converter.h"

namespace kavrolin::code_page_converter {
namespace {

constexpr const char* kUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string IconvName(int code_page) {
  if (code_page == 65001) return "UTF-8";
  return "CP" + std::to_string(code_page);
}

// iconv descriptors carry shift state and may not be shared between threads;
// each thread keeps its own pair per code page it has used.
struct Converters {
  int code_page;
  iconv_t to_ansi;
  iconv_t from_ansi;
  std::array<bool, 256> lead{};  // the bytes iconv finds incomplete alone
};

// A byte is a lead byte when iconv, given it alone, asks for more. UTF-8's
// lead bytes are not double-byte leads on the platform.
std::array<bool, 256> LeadBytes(int code_page, iconv_t from) {
  std::array<bool, 256> lead{};
  if (code_page == 65001) return lead;
  for (int b = 0x80; b < 0x100; ++b) {
    char byte = static_cast<char>(b);
    char16_t unit[2];
    char* in = &byte;
    size_t in_left = 1;
    char* out = reinterpret_cast<char*>(unit);
    size_t out_left = sizeof unit;
    iconv(from, nullptr, nullptr, nullptr, nullptr);
    lead[b] = iconv(from, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1) && errno == EINVAL;
  }
  iconv(from, nullptr, nullptr, nullptr, nullptr);
  return lead;
}

class ThreadConverters {
 public:
  ~ThreadConverters() {
    for (auto& c : list_) {
      iconv_close(c.to_ansi);
      iconv_close(c.from_ansi);
    }
  }
  const Converters& Get(int code_page) {
    for (auto& c : list_) {
      if (c.code_page == code_page) return c;
    }
    const std::string name = IconvName(code_page);
    iconv_t to = iconv_open(name.c_str(), kUtf16);
    iconv_t from = iconv_open(kUtf16, name.c_str());
    if (to == reinterpret_cast<iconv_t>(-1) || from == reinterpret_cast<iconv_t>(-1)) {
      if (to != reinterpret_cast<iconv_t>(-1)) iconv_close(to);
      if (from != reinterpret_cast<iconv_t>(-1)) iconv_close(from);
      throw std::invalid_argument("code page " + std::to_string(code_page) +
                                  " cannot be converted on this host");
    }
    list_.push_back({code_page, to, from, LeadBytes(code_page, from)});
    return list_.back();
  }

 private:
  std::vector<Converters> list_;
};

const Converters& ConvertersFor(int code_page) {
  thread_local ThreadConverters converters;
  return converters.Get(code_page);
}

}  // namespace

void Check(int code_page) { ConvertersFor(code_page); }

bool IsLeadByte(int code_page, unsigned char byte) { return ConvertersFor(code_page).lead[byte]; }

std::string ToCodePage(int code_page, TextView text) {
  iconv_t cd = ConvertersFor(code_page).to_ansi;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(text.size() * 4 + 8, '\0');
  auto* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  size_t in_left = text.size() * sizeof(char16_t);
  char* dst = out.data();
  size_t out_left = out.size();
  auto grow = [&] {
    const size_t used = static_cast<size_t>(dst - out.data());
    out.resize(out.size() * 2);
    dst = out.data() + used;
    out_left = out.size() - used;
  };
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &dst, &out_left) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      grow();
      continue;
    }
    // EILSEQ (no mapping, or a lone surrogate) and EINVAL (a high surrogate at
    // the end): one "?" for the unit, as the platform's default character.
    if (out_left == 0) grow();
    *dst++ = '?';
    --out_left;
    in += sizeof(char16_t);
    in_left -= sizeof(char16_t);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

Text FromCodePage(int code_page, std::string_view bytes) {
  iconv_t cd = ConvertersFor(code_page).from_ansi;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  Text out(bytes.size() + 2, u'\0');
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* dst = reinterpret_cast<char*>(out.data());
  size_t out_left = out.size() * sizeof(char16_t);
  auto grow = [&] {
    const size_t used = static_cast<size_t>(dst - reinterpret_cast<char*>(out.data()));
    out.resize(out.size() * 2);
    dst = reinterpret_cast<char*>(out.data()) + used;
    out_left = out.size() * sizeof(char16_t) - used;
  };
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &dst, &out_left) != static_cast<size_t>(-1)) break;
    if (errno == EINVAL) break;  // a lone lead byte at the end is dropped
    if (errno == E2BIG) {
      grow();
      continue;
    }
    if (out_left < sizeof(char16_t)) grow();
    const char16_t replacement = u'?';
    std::memcpy(dst, &replacement, sizeof replacement);
    dst += sizeof replacement;
    out_left -= sizeof replacement;
    ++in;
    --in_left;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<size_t>(dst - reinterpret_cast<char*>(out.data())) / sizeof(char16_t));
  return out;
}

}  // namespace kavrolin::code_page_converter
#endif
