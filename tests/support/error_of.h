// The error number an operation raises as AutomationError; 0 when it raises
// none. Lets a table row state the expected failure as a number.
#pragma once

#include <functional>

#include "base/automation_error.h"

namespace kavrolin::testing {

inline int ErrorOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace kavrolin::testing
