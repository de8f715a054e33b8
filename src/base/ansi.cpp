#include "base/ansi.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace kavrolin {
namespace {

constexpr const char* kUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr int kDefaultCodePage = 936;

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
};

class ThreadConverters {
 public:
  ~ThreadConverters() {
    for (auto& c : list_) {
      iconv_close(c.to_ansi);
      iconv_close(c.from_ansi);
    }
  }
  const Converters& Get(int code_page, const std::string& name) {
    for (auto& c : list_) {
      if (c.code_page == code_page) return c;
    }
    iconv_t to = iconv_open(name.c_str(), kUtf16);
    iconv_t from = iconv_open(kUtf16, name.c_str());
    if (to == reinterpret_cast<iconv_t>(-1) || from == reinterpret_cast<iconv_t>(-1)) {
      if (to != reinterpret_cast<iconv_t>(-1)) iconv_close(to);
      if (from != reinterpret_cast<iconv_t>(-1)) iconv_close(from);
      throw std::invalid_argument("code page " + std::to_string(code_page) +
                                  " cannot be converted on this host");
    }
    list_.push_back({code_page, to, from});
    return list_.back();
  }

 private:
  std::vector<Converters> list_;
};

const Converters& ConvertersFor(int code_page, const std::string& name) {
  thread_local ThreadConverters converters;
  return converters.Get(code_page, name);
}

bool IsAscii(const char16_t* p, size_t n) {
  char16_t any = 0;
  for (size_t i = 0; i < n; ++i) any |= p[i];
  return any < 0x80;
}

bool IsAscii(const char* p, size_t n) {
  unsigned char any = 0;
  for (size_t i = 0; i < n; ++i) any |= static_cast<unsigned char>(p[i]);
  return any < 0x80;
}

int CodePageFromEnvironment() {
  const char* value = std::getenv("KAVROLIN_CODEPAGE");
  if (value == nullptr || *value == '\0') return kDefaultCodePage;
  char* end = nullptr;
  const long cp = std::strtol(value, &end, 10);
  if (*end == '\0' && cp > 0 && cp < 65536) {
    try {
      AnsiCodec probe(static_cast<int>(cp));
      return static_cast<int>(cp);
    } catch (const std::invalid_argument&) {
    }
  }
  std::fprintf(stderr, "kavrolin: KAVROLIN_CODEPAGE=%s is not a usable code page; using %d\n",
               value, kDefaultCodePage);
  return kDefaultCodePage;
}

}  // namespace

AnsiCodec::AnsiCodec(int code_page) : code_page_(code_page), iconv_name_(IconvName(code_page)) {
  ConvertersFor(code_page_, iconv_name_);  // fail here, not on first use
}

const AnsiCodec& AnsiCodec::System() {
  static const AnsiCodec codec(CodePageFromEnvironment());
  return codec;
}

std::string AnsiCodec::ToAnsi(TextView text) const {
  // Every ANSI code page is a superset of ASCII: most records and journal
  // lines never reach iconv.
  if (IsAscii(text.data(), text.size())) return std::string(text.begin(), text.end());

  iconv_t cd = ConvertersFor(code_page_, iconv_name_).to_ansi;
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

Text AnsiCodec::FromAnsi(std::string_view bytes) const {
  if (IsAscii(bytes.data(), bytes.size())) return Text(bytes.begin(), bytes.end());

  iconv_t cd = ConvertersFor(code_page_, iconv_name_).from_ansi;
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

}  // namespace kavrolin
