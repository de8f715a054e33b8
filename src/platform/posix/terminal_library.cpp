#include "platform/posix/terminal_library.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "base/automation_error.h"
#include "base/text.h"
#include "platform/posix/module.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryName = "libtrans.so";

// The loader's words for the call that just failed; each attempt's reason
// goes into `reasons`, "; " between them.
void AddReason(Text& reasons) {
  const char* said = ::dlerror();
  if (!reasons.empty()) reasons += u"; ";
  reasons += said ? FromUtf8(said) : Text(u"unknown reason");
}

void* Open(const char* file, Text& reasons) {
  void* handle = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) AddReason(reasons);
  return handle;
}

void* OpenLibrary(Text& reasons) {
  if (const char* named = std::getenv("KAVROLIN_TRANS_LIBRARY"); named && *named) {
    return Open(named, reasons);
  }
  const fs::path beside = ComponentFile().parent_path() / kLibraryName;
  std::error_code ec;
  if (fs::exists(beside, ec)) {
    if (void* handle = Open(beside.c_str(), reasons)) return handle;
  }
  return Open(kLibraryName, reasons);
}

}  // namespace

PosixTerminalLibrary::Entry PosixTerminalLibrary::Load() {
  if (const Entry entry = entry_.load(std::memory_order_acquire)) return entry;
  std::lock_guard lock(mutex_);
  if (const Entry entry = entry_.load(std::memory_order_relaxed)) return entry;
  // The handle is kept for the life of the process, as the library is.
  Text reasons;
  void* handle = OpenLibrary(reasons);
  if (handle == nullptr) {
    failure_ = std::move(reasons);
    throw TerminalLibraryNotFound();
  }
  ::dlerror();  // dlsym's own failure is told apart from an earlier one
  void* symbol = ::dlsym(handle, "MenuApp");
  if (symbol == nullptr) {
    AddReason(reasons);
    failure_ = std::move(reasons);
    ::dlclose(handle);
    throw TerminalEntryNotFound();
  }
  failure_.clear();
  const Entry entry = reinterpret_cast<Entry>(symbol);
  entry_.store(entry, std::memory_order_release);
  return entry;
}

Text PosixTerminalLibrary::LoadFailure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

int16_t PosixTerminalLibrary::MenuApp(char* request, char* response) {
  return Load()(request, response);
}

}  // namespace kavrolin::platform::posix
