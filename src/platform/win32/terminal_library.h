// The terminal library on Windows: trans.dll with its MenuApp entry point,
// short __stdcall MenuApp(char*, char*). KAVROLIN_TRANS_LIBRARY names another
// file (for tests); otherwise trans.dll beside the component's own file is
// taken first, then the one the normal DLL search finds. Loaded on first use
// and kept for the process; a failed load keeps the system's message for
// each attempt's error code, for LoadFailure.
#pragma once

#include <atomic>
#include <mutex>

#include "platform/terminal_library.h"

namespace kavrolin::platform::win32 {

class Win32TerminalLibrary : public TerminalLibrary {
 public:
  int16_t MenuApp(char* request, char* response) override;
  Text LoadFailure() const override;

 private:
  using Entry = short(__stdcall*)(char*, char*);
  Entry Load();

  mutable std::mutex mutex_;
  // Set once, under the lock; read without it once set.
  std::atomic<Entry> entry_ = nullptr;
  Text failure_;
};

}  // namespace kavrolin::platform::win32
