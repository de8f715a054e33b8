// The conversions through iconv, for hosts other than Windows.
//
// For the double-byte code pages 932, 936, 949 and 950, whose glibc converters
// are stateless and map one character at a time, each thread also keeps a
// table of what iconv answered for one UTF-16 unit, one byte or one lead and
// trail pair alone. An entry is clean when that answer was a single non-ASCII
// character with no error and no surrogate. A string made only of ASCII and
// clean entries is converted from the table without iconv; any other string
// goes through iconv whole, as if there were no table. Either way the result
// is byte for byte what iconv over the whole string gives.
#if !defined(_WIN32)
#include <iconv.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/code_page_converter.h"
#include "base/code_page_converter_iconv.h"

namespace kavrolin::code_page_converter {
namespace {

constexpr const char* kUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string IconvName(int code_page) {
  if (code_page == 65001) return "UTF-8";
  return "CP" + std::to_string(code_page);
}

// A character's key is its bytes read as one number: a single byte 0x80-0xFF,
// or lead << 8 | trail, which is at least 0x8000 as every lead byte is at
// least 0x80. One table gives the key of each unit, the other the unit of
// each key. No clean entry is below 0x80, which leaves room for two marks.
constexpr uint16_t kUnknown = 0;   // not met yet on this thread
constexpr uint16_t kNotClean = 1;  // the whole string goes to iconv

// Listed, not probed: the table is right only for a converter without state,
// which no probe can tell (glibc's BIG5-HKSCS, for one, joins a letter and the
// accent after it into one character).
bool HasTable(int code_page) {
  return code_page == 932 || code_page == 936 || code_page == 949 || code_page == 950;
}

// iconv descriptors carry shift state and may not be shared between threads;
// each thread keeps its own pair per code page it has used, and with it the
// tables, so these need no locks.
struct Converters {
  int code_page;
  iconv_t to_ansi;
  iconv_t from_ansi;
  std::array<bool, 256> lead{};  // the bytes iconv finds incomplete alone
  bool has_table = false;
  std::unique_ptr<uint16_t[]> key_of_unit = nullptr;  // made on the first use of each
  std::unique_ptr<uint16_t[]> unit_of_key = nullptr;
};

uint16_t* Table(std::unique_ptr<uint16_t[]>& table) {
  if (!table) table = std::make_unique<uint16_t[]>(0x10000);  // 128 KiB, all kUnknown
  return table.get();
}

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
  Converters& Get(int code_page) {
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
    list_.push_back({code_page, to, from, LeadBytes(code_page, from), HasTable(code_page)});
    return list_.back();
  }

 private:
  std::vector<Converters> list_;
};

Converters& ConvertersFor(int code_page) {
  thread_local ThreadConverters converters;
  return converters.Get(code_page);
}

bool IsSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// One conversion of a short input between two resets, so that it neither sees
// nor leaves any state: the bytes written when all of it converted with no
// error, else -1.
ptrdiff_t ConvertAlone(iconv_t cd, const void* input, size_t size, void* output,
                       size_t room) {
  char* in = static_cast<char*>(const_cast<void*>(input));
  size_t in_left = size;
  char* out = static_cast<char*>(output);
  size_t out_left = room;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  const size_t result = iconv(cd, &in, &in_left, &out, &out_left);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (result != 0 || in_left != 0) return -1;
  return static_cast<ptrdiff_t>(room - out_left);
}

uint16_t LearnKey(const Converters& c, char16_t unit) {
  if (IsSurrogate(unit)) return kNotClean;
  unsigned char bytes[4];  // room to see an answer longer than two
  const ptrdiff_t n = ConvertAlone(c.to_ansi, &unit, sizeof unit, bytes, sizeof bytes);
  if (n == 1 && bytes[0] >= 0x80) return bytes[0];
  if (n == 2 && c.lead[bytes[0]]) return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
  return kNotClean;
}

uint16_t LearnUnit(const Converters& c, std::string_view bytes) {
  char16_t units[2];  // room to see an answer longer than one
  const ptrdiff_t n = ConvertAlone(c.from_ansi, bytes.data(), bytes.size(), units, sizeof units);
  if (n != sizeof(char16_t) || units[0] < 0x80 || IsSurrogate(units[0])) return kNotClean;
  return units[0];
}

}  // namespace

std::optional<std::string> TableToCodePage(int code_page, TextView text) {
  Converters& c = ConvertersFor(code_page);
  if (!c.has_table) return std::nullopt;
  uint16_t* const keys = Table(c.key_of_unit);
  std::string out(text.size() * 2, '\0');
  char* dst = out.data();
  for (const char16_t unit : text) {
    if (unit < 0x80) {
      *dst++ = static_cast<char>(unit);
      continue;
    }
    uint16_t& key = keys[unit];
    if (key == kUnknown) key = LearnKey(c, unit);
    if (key == kNotClean) return std::nullopt;
    if (key > 0xFF) *dst++ = static_cast<char>(key >> 8);
    *dst++ = static_cast<char>(key & 0xFF);
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

std::optional<Text> TableFromCodePage(int code_page, std::string_view bytes) {
  Converters& c = ConvertersFor(code_page);
  if (!c.has_table) return std::nullopt;
  uint16_t* const units = Table(c.unit_of_key);
  Text out(bytes.size(), u'\0');
  char16_t* dst = out.data();
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      *dst++ = byte;
      ++i;
      continue;
    }
    const size_t length = c.lead[byte] ? 2 : 1;
    if (i + length > bytes.size()) return std::nullopt;  // a lone lead byte at the end
    const auto key = static_cast<uint16_t>(
        length == 1 ? byte : byte << 8 | static_cast<unsigned char>(bytes[i + 1]));
    uint16_t& unit = units[key];
    if (unit == kUnknown) unit = LearnUnit(c, bytes.substr(i, length));
    if (unit == kNotClean) return std::nullopt;
    *dst++ = static_cast<char16_t>(unit);
    i += length;
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

void Check(int code_page) { ConvertersFor(code_page); }

bool IsLeadByte(int code_page, unsigned char byte) { return ConvertersFor(code_page).lead[byte]; }

std::string ToCodePage(int code_page, TextView text) {
  if (auto bytes = TableToCodePage(code_page, text)) return std::move(*bytes);
  return IconvToCodePage(code_page, text);
}

Text FromCodePage(int code_page, std::string_view bytes) {
  if (auto text = TableFromCodePage(code_page, bytes)) return std::move(*text);
  return IconvFromCodePage(code_page, bytes);
}

std::string IconvToCodePage(int code_page, TextView text) {
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
    // A converter may have taken the unit it refused already.
    const size_t skip = std::min(in_left, sizeof(char16_t));
    in += skip;
    in_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  return out;
}

Text IconvFromCodePage(int code_page, std::string_view bytes) {
  const Converters& c = ConvertersFor(code_page);
  iconv_t cd = c.from_ansi;
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
    // The refused byte is passed over; a refused pair's trail byte is then
    // read again, as the platform reads it. A converter may have taken the
    // refused pair whole already (glibc's code page 949 does so for A2 E8):
    // it then stopped at the next character, which converts alone, and the
    // pair's trail byte lies just before it. Never past the end.
    if (in_left == 0) break;
    const size_t next = c.lead[static_cast<unsigned char>(*in)] && in_left >= 2 ? 2 : 1;
    char16_t units[2];
    if (ConvertAlone(cd, in, next, units, sizeof units) < 0) {
      ++in;
      --in_left;
    } else if (in > bytes.data()) {
      --in;
      ++in_left;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<size_t>(dst - reinterpret_cast<char*>(out.data())) / sizeof(char16_t));
  return out;
}

}  // namespace kavrolin::code_page_converter
#endif
