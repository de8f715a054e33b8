// The ANSI form: text in the system ANSI code page, as exchanged with the
// terminal library and written to journal, log and INI files.
//
// The code page is 936 (simplified Chinese, as the target systems use) unless
// KAVROLIN_CODEPAGE names another (for example 1252, or 65001 for UTF-8).
// Conversions never fail: a character the code page cannot hold becomes "?"
// (one per UTF-16 unit), an invalid byte becomes "?", and a lone lead byte at
// the end of a byte run is dropped. Thread-safe.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/text.h"

namespace kavrolin {

class AnsiCodec {
 public:
  // Throws std::invalid_argument when the host cannot convert the code page.
  explicit AnsiCodec(int code_page);

  // The process's code page, read from KAVROLIN_CODEPAGE on first use; an
  // unusable value is reported once on standard error and 936 is used.
  static const AnsiCodec& System();

  int code_page() const { return code_page_; }
  // Whether `byte` starts a two-byte character of this code page (the
  // platform's IsDBCSLeadByteEx; false for UTF-8 and single-byte pages).
  bool IsLeadByte(unsigned char byte) const;
  std::string ToAnsi(TextView text) const;
  Text FromAnsi(std::string_view bytes) const;

 private:
  int code_page_;
};

// Shorthands for the system code page.
inline std::string ToAnsi(TextView text) { return AnsiCodec::System().ToAnsi(text); }
inline Text FromAnsi(std::string_view bytes) { return AnsiCodec::System().FromAnsi(bytes); }

}  // namespace kavrolin
