// The card terminal's transaction library and its single entry point MenuApp.
#pragma once

#include <cstdint>

#include "base/automation_error.h"
#include "base/text.h"

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

  // Why the most recent load of the library or its entry point failed, in the
  // loader's own words (dlerror() on POSIX, the system's message for the
  // error code on Windows), for the reports that go to people; empty when
  // the library is loaded or no load has failed. The error MenuApp throws
  // keeps its number and text: callers compare those. Any thread.
  virtual Text LoadFailure() const { return Text(); }
};

}  // namespace kavrolin::platform
