// The message box on Windows: a modal MessageBoxA with the caller's caption
// (the component's title), text and caption in the ANSI code page.
#pragma once

#include "platform/message_box.h"

namespace kavrolin::platform::win32 {

class Win32MessageBox : public MessageBox {
 public:
  void Show(TextView caption, TextView text) override;
};

}  // namespace kavrolin::platform::win32
