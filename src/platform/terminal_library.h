// The card terminal's transaction library and its single entry point MenuApp.
#pragma once

#include <cstdint>

namespace kavrolin::platform {

class TerminalLibrary {
 public:
  virtual ~TerminalLibrary() = default;

  // Calls MenuApp with the request and the response buffer: both writable,
  // zero-terminated ANSI bytes; the library may overwrite both in place. The
  // library is loaded on the first call and kept; when it or its entry point
  // is missing this throws AutomationError (53 or 453) and the next call tries
  // to load it again. Returns the library's 16-bit result (1 = success).
  virtual int16_t MenuApp(char* request, char* response) = 0;
};

}  // namespace kavrolin::platform
