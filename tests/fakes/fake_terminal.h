// A terminal library that answers what the test scripts and keeps every
// request it was given. It can be "missing", and can write past the response
// buffer as a misbehaving library would.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/automation_error.h"
#include "platform/terminal_library.h"

namespace kavrolin::testing {

class FakeTerminal : public platform::TerminalLibrary {
 public:
  int16_t code = 1;
  std::string response;  // ANSI bytes written to the response buffer
  bool missing = false;
  Text load_failure;     // what LoadFailure tells while missing
  size_t overrun = 0;    // bytes written past the 43 response bytes
  size_t request_overrun = 0;  // bytes written past the request's terminating zero
  // Whether every call so far found the response's 44 bytes and the 8 KB past
  // both buffers' terminating zeros all zero, as a fresh buffer is.
  bool found_zeroed = true;
  std::vector<std::string> requests;
  // Runs inside each call, as the terminal writing its receipt would.
  std::function<void()> during_call;

  int16_t MenuApp(char* request, char* response_buffer) override {
    if (missing) throw AutomationError(53, u"File not found: trans.dll");
    requests.emplace_back(request);
    const size_t request_end = requests.back().size() + 1;
    found_zeroed = found_zeroed && AllZero(request + request_end, kSlackChecked) &&
                   AllZero(response_buffer, 44 + kSlackChecked);
    if (during_call) during_call();
    std::memcpy(response_buffer, response.data(), response.size());
    std::memset(response_buffer + 43, 'X', overrun);
    std::memset(request + request_end, 'Y', request_overrun);
    return code;
  }
  Text LoadFailure() const override { return missing ? load_failure : Text(); }

 private:
  static constexpr size_t kSlackChecked = 8192;
  static bool AllZero(const char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i) {
      if (bytes[i] != 0) return false;
    }
    return true;
  }
};

}  // namespace kavrolin::testing
