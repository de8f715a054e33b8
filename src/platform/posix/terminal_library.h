// The terminal library on POSIX: KAVROLIN_TRANS_LIBRARY names it; otherwise
// libtrans.so beside the component's own file, else through the normal
// library search. Loaded on first use and kept for the process; a failed load
// keeps the dynamic loader's reasons, each attempt's, for LoadFailure.
#pragma once

#include <atomic>
#include <mutex>

#include "platform/terminal_library.h"

namespace kavrolin::platform::posix {

class PosixTerminalLibrary : public TerminalLibrary {
 public:
  int16_t MenuApp(char* request, char* response) override;
  Text LoadFailure() const override;

 private:
  using Entry = int16_t (*)(char*, char*);
  Entry Load();

  mutable std::mutex mutex_;
  // Set once, under the lock; read without it once set.
  std::atomic<Entry> entry_ = nullptr;
  Text failure_;
};

}  // namespace kavrolin::platform::posix
