#include "platform/win32/message_box.h"

#include "platform/win32/windows_api.h"

#include "base/ansi.h"

namespace kavrolin::platform::win32 {

void Win32MessageBox::Show(TextView caption, TextView text) {
  const std::string ansi_caption = ToAnsi(caption);
  const std::string ansi_text = ToAnsi(text);
  // Task-modal: the host's windows wait for the user, as the toolkit's
  // messages expect.
  ::MessageBoxA(nullptr, ansi_text.c_str(), ansi_caption.c_str(),
                MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}

}  // namespace kavrolin::platform::win32
