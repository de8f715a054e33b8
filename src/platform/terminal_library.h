// The card terminal's transaction library and its single entry point MenuApp.
#pragma once

#include <cstdint>

#include "base/automation_error.h"

namespace kavrolin::platform {

// The failures of a terminal library that cannot be used, in the runtime's
// words: the library missing, and its entry point missing.
inline AutomationError TerminalLibraryNotFound() {
  return AutomationError(ErrorNumber::kFileNotFound, u"File not found: trans.dll");
}
inline AutomationError TerminalEntryNotFound() {
  return AutomationError(ErrorNumber::kDllEntryNotFound,
                         u"Can't find DLL entry point MenuApp in trans.dll");
}

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
