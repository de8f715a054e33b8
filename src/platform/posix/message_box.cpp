#include "platform/posix/message_box.h"

#include <cstdio>

namespace kavrolin::platform::posix {

void StderrMessageBox::Show(TextView caption, TextView text) {
  const std::string line = ToUtf8(caption) + ": " + ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace kavrolin::platform::posix
