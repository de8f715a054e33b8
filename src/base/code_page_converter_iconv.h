// The two ways code_page_converter_iconv.cpp converts, apart, so that its
// tests can hold the table against iconv. Nothing else includes this file:
// ToCodePage and FromCodePage (code_page_converter.h) answer the table's
// result when it has one, and iconv's otherwise.
#pragma once
#if !defined(_WIN32)

#include <optional>
#include <string>
#include <string_view>

#include "base/text.h"

namespace kavrolin::code_page_converter {

// iconv over the whole string, with the replacement rules of
// code_page_converter.h.
std::string IconvToCodePage(int code_page, TextView text);
Text IconvFromCodePage(int code_page, std::string_view bytes);

// The per-thread table alone: nothing when the code page has no table or the
// string holds a unit or byte sequence without a clean entry.
std::optional<std::string> TableToCodePage(int code_page, TextView text);
std::optional<Text> TableFromCodePage(int code_page, std::string_view bytes);

}  // namespace kavrolin::code_page_converter
#endif
