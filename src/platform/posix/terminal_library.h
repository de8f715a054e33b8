// The terminal library on POSIX: KAVROLIN_TRANS_LIBRARY names it; otherwise
// libtrans.so beside the component's own file, else through the normal
// library search. Loaded on first use and kept for the process.
#pragma once

#include <mutex>

#include "platform/terminal_library.h"

namespace kavrolin::platform::posix {

class PosixTerminalLibrary : public TerminalLibrary {
 public:
  int16_t MenuApp(char* request, char* response) override;

 private:
  using Entry = int16_t (*)(char*, char*);
  Entry Load();

  std::mutex mutex_;
  Entry entry_ = nullptr;
};

}  // namespace kavrolin::platform::posix
