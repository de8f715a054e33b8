// AutomationError: the run-time failure an unguarded member lets reach its
// caller, with the Basic runtime's error number and text. Guarded members
// catch it and answer their fallback; the automation shell turns an escaping
// one into a failed call carrying number and text.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "base/text.h"

namespace kavrolin {

// Error numbers the components raise; the texts are the runtime's own.
enum class ErrorNumber : int32_t {
  kInvalidCall = 5,         // "Invalid procedure call or argument"
  kOverflow = 6,            // "Overflow"
  kOutOfMemory = 7,         // "Out of memory"
  kSubscriptOutOfRange = 9, // "Subscript out of range"
  kTypeMismatch = 13,       // "Type mismatch"
  kBadFileName = 52,        // "Bad file name or number"
  kDllLoad = 48,            // "Error in loading DLL"
  kFileNotFound = 53,       // "File not found"
  kFileAlreadyExists = 58,  // "File already exists"
  kDiskFull = 61,           // "Disk full"
  kInputPastEnd = 62,       // "Input past end of file"
  kPermissionDenied = 70,   // "Permission denied"
  kPathFileAccess = 75,     // "Path/File access error"
  kPathNotFound = 76,       // "Path not found"
  kInvalidUseOfNull = 94,   // "Invalid use of Null"
  kAutomation = 440,        // "Automation error"
  kDllEntryNotFound = 453,  // "Specified DLL function not found"
};

class AutomationError : public std::exception {
 public:
  // The runtime's own text for the number.
  explicit AutomationError(ErrorNumber number);
  AutomationError(int32_t number, Text description);
  AutomationError(ErrorNumber number, Text description)
      : AutomationError(static_cast<int32_t>(number), std::move(description)) {}

  int32_t number() const noexcept { return number_; }
  const Text& description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

  // The runtime's text for a number; "Application-defined or object-defined
  // error" for numbers it has no text for.
  static Text StandardText(int32_t number);

 private:
  int32_t number_;
  Text description_;
  std::string what_;  // UTF-8 "number: description", for diagnostics
};

}  // namespace kavrolin
