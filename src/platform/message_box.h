// The modal message box through which some members show bad input to the user.
// Replaceable: the default writes caption and text to standard error; the CLI
// collects the messages of each call into its output.
#pragma once

#include "base/text.h"

namespace kavrolin::platform {

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // Shows the text and returns once the user has dismissed it. Never fails.
  virtual void Show(TextView caption, TextView text) = 0;
};

}  // namespace kavrolin::platform
