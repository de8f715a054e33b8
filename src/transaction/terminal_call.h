// CallTerminal: one call of the terminal library with the conversions around it.
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"
#include "platform/terminal_library.h"

namespace kavrolin::transaction {

struct TerminalResult {
  int16_t code = 0;  // 1 = the transaction succeeded
  Text request;      // the request as the library left it, when asked for
  Text response;     // exactly 43 characters: cut, or filled with blanks
};

// Whether the request the library left is read back (the inquiry's is its
// answer); converting it costs the other kinds for nothing.
enum class LeftRequest { kIgnored, kRead };

// `request` is the ANSI request bytes (a 46-byte request or a 2-byte code).
// The buffers carry generous zeroed space past their terminating zero, so a
// library that writes past the 43 response bytes cannot corrupt memory; only
// the converted lengths are read back. Throws what the library's loading throws.
TerminalResult CallTerminal(platform::TerminalLibrary& terminal, const std::string& request,
                            LeftRequest left = LeftRequest::kIgnored);

}  // namespace kavrolin::transaction
