// Facts about the component's own library file.
#pragma once

#include "base/text.h"

namespace kavrolin::platform {

class Module {
 public:
  virtual ~Module() = default;
  // The folder holding the component library's file, in Windows form, without
  // a trailing "\" except for a drive root ("C:\"). Never fails.
  virtual Text ComponentFolder() = 0;
  // The component library's file itself, in Windows form (what registration
  // records as the in-process server). Never fails.
  virtual Text ComponentPath() = 0;
};

}  // namespace kavrolin::platform
