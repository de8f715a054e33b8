#include "base/automation_error.h"

#include <utility>

namespace kavrolin {

Text AutomationError::StandardText(int32_t number) {
  switch (number) {
    case 5: return u"Invalid procedure call or argument";
    case 6: return u"Overflow";
    case 7: return u"Out of memory";
    case 9: return u"Subscript out of range";
    case 13: return u"Type mismatch";
    case 52: return u"Bad file name or number";
    case 48: return u"Error in loading DLL";
    case 53: return u"File not found";
    case 58: return u"File already exists";
    case 61: return u"Disk full";
    case 62: return u"Input past end of file";
    case 70: return u"Permission denied";
    case 75: return u"Path/File access error";
    case 76: return u"Path not found";
    case 94: return u"Invalid use of Null";
    case 440: return u"Automation error";
    case 453: return u"Specified DLL function not found";
    default: return u"Application-defined or object-defined error";
  }
}

AutomationError::AutomationError(ErrorNumber number)
    : AutomationError(static_cast<int32_t>(number),
                      StandardText(static_cast<int32_t>(number))) {}

AutomationError::AutomationError(int32_t number, Text description)
    : number_(number),
      description_(std::move(description)),
      what_(std::to_string(number) + ": " + ToUtf8(description_)) {}

}  // namespace kavrolin
