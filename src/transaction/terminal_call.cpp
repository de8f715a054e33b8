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

TerminalResult CallTerminal(platform::TerminalLibrary& terminal, const std::string& request) {
  // The response buffer is 43 NUL characters in the ANSI form.
  const std::string empty_response = ToAnsi(Text(kResponseChars, u'\0'));
  std::vector<char> request_buffer(request.size() + 1 + kSlack, '\0');
  request.copy(request_buffer.data(), request.size());
  std::vector<char> response_buffer(empty_response.size() + 1 + kSlack, '\0');

  TerminalResult result;
  result.code = terminal.MenuApp(request_buffer.data(), response_buffer.data());
  // Back over the full converted lengths: a zero byte inside ends nothing.
  result.request = FromAnsi(std::string_view(request_buffer.data(), request.size()));
  result.response = FromAnsi(std::string_view(response_buffer.data(), empty_response.size()));
  result.response.resize(kResponseChars, u' ');
  return result;
}

}  // namespace kavrolin::transaction
