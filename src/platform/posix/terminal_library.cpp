#include "platform/posix/terminal_library.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "base/automation_error.h"
#include "platform/posix/module.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryName = "libtrans.so";

void* OpenLibrary() {
  if (const char* named = std::getenv("KAVROLIN_TRANS_LIBRARY"); named && *named) {
    return ::dlopen(named, RTLD_NOW | RTLD_LOCAL);
  }
  const fs::path beside = ComponentFile().parent_path() / kLibraryName;
  std::error_code ec;
  if (fs::exists(beside, ec)) {
    if (void* handle = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  }
  return ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

PosixTerminalLibrary::Entry PosixTerminalLibrary::Load() {
  std::lock_guard lock(mutex_);
  if (entry_ != nullptr) return entry_;
  // The handle is kept for the life of the process, as the library is.
  void* handle = OpenLibrary();
  if (handle == nullptr) throw TerminalLibraryNotFound();
  void* symbol = ::dlsym(handle, "MenuApp");
  if (symbol == nullptr) {
    ::dlclose(handle);
    throw TerminalEntryNotFound();
  }
  entry_ = reinterpret_cast<Entry>(symbol);
  return entry_;
}

int16_t PosixTerminalLibrary::MenuApp(char* request, char* response) {
  return Load()(request, response);
}

}  // namespace kavrolin::platform::posix
