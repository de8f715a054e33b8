// The default message box on POSIX: caption and text on standard error.
#pragma once

#include "platform/message_box.h"

namespace kavrolin::platform::posix {

class StderrMessageBox : public MessageBox {
 public:
  void Show(TextView caption, TextView text) override;
};

}  // namespace kavrolin::platform::posix
