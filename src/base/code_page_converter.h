// The host's conversion between UTF-16 and one ANSI code page, behind
// AnsiCodec (ansi.h), whose replacement rules it keeps: a character the code
// page cannot hold becomes "?" (one per UTF-16 unit), an invalid byte becomes
// "?", and a lone lead byte at the end of a byte run is dropped. One
// realisation per host: iconv (code_page_converter_iconv.cpp) or the Windows
// code page functions (code_page_converter_win32.cpp). Thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace kavrolin::code_page_converter {

// Throws std::invalid_argument when the host cannot convert the code page.
void Check(int code_page);

// Whether `byte` starts a two-byte character of the code page, as the
// platform's IsDBCSLeadByteEx answers it (false for every byte of UTF-8 and
// of the single-byte code pages).
bool IsLeadByte(int code_page, unsigned char byte);

std::string ToCodePage(int code_page, TextView text);
Text FromCodePage(int code_page, std::string_view bytes);

}  // namespace kavrolin::code_page_converter
