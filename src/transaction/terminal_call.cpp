#include "transaction/terminal_call.h"

#include <vector>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "transaction/records.h"

namespace kavrolin::transaction {
namespace {

// Zeroed space past each buffer's terminating zero: a library that writes
// beyond what it was given lands here instead of in other memory.
constexpr size_t kSlack = 8192;

}  // namespace

TerminalResult CallTerminal(platform::TerminalLibrary& terminal, const std::string& request,
                            LeftRequest left) {
  // The response buffer is 43 NUL characters in the ANSI form: NUL is ASCII,
  // one zero byte in every code page. Both buffers, each with its zeroed
  // slack, are one zeroed allocation.
  const size_t request_room = request.size() + 1 + kSlack;
  std::vector<char> buffers(request_room + kResponseChars + 1 + kSlack, '\0');
  char* const request_buffer = buffers.data();
  char* const response_buffer = buffers.data() + request_room;
  request.copy(request_buffer, request.size());

  TerminalResult result;
  result.code = terminal.MenuApp(request_buffer, response_buffer);
  // Back over the full converted lengths: a zero byte inside ends nothing.
  if (left == LeftRequest::kRead) {
    result.request = FromAnsi(std::string_view(request_buffer, request.size()));
  }
  result.response = FromAnsi(std::string_view(response_buffer, kResponseChars));
  result.response.resize(kResponseChars, u' ');
  return result;
}

}  // namespace kavrolin::transaction
