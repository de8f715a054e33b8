#include "base/ansi.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "base/code_page_converter.h"

namespace kavrolin {
namespace {

constexpr int kDefaultCodePage = 936;

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

AnsiCodec::AnsiCodec(int code_page) : code_page_(code_page) {
  code_page_converter::Check(code_page_);  // fail here, not on first use
}

const AnsiCodec& AnsiCodec::System() {
  static const AnsiCodec codec(CodePageFromEnvironment());
  return codec;
}

bool AnsiCodec::IsLeadByte(unsigned char byte) const {
  return byte >= 0x80 && code_page_converter::IsLeadByte(code_page_, byte);
}

std::string AnsiCodec::ToAnsi(TextView text) const {
  // Every ANSI code page is a superset of ASCII: most records and journal
  // lines never reach the converter.
  if (AsciiRun(text) == text.size()) return std::string(text.begin(), text.end());
  return code_page_converter::ToCodePage(code_page_, text);
}

Text AnsiCodec::FromAnsi(std::string_view bytes) const {
  if (AsciiRun(bytes) == bytes.size()) return Text(bytes.begin(), bytes.end());
  return code_page_converter::FromCodePage(code_page_, bytes);
}

}  // namespace kavrolin
