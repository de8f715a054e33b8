#include "platform/win32/terminal_library.h"

#include "platform/win32/windows_api.h"

#include <cstdlib>
#include <string>

#include "base/automation_error.h"
#include "base/text.h"
#include "platform/win32/module.h"

namespace kavrolin::platform::win32 {
namespace {

constexpr const wchar_t* kLibraryName = L"trans.dll";

HMODULE OpenLibrary() {
  if (const wchar_t* named = ::_wgetenv(L"KAVROLIN_TRANS_LIBRARY"); named && *named) {
    return ::LoadLibraryW(named);
  }
  std::wstring beside = ComponentFolderOf(ComponentFile());
  if (!beside.empty() && beside.back() != L'\\') beside += L'\\';
  beside += kLibraryName;
  if (::GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // The library's own dependencies are looked for beside it too.
    if (HMODULE module = ::LoadLibraryExW(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
      return module;
    }
  }
  return ::LoadLibraryW(kLibraryName);
}

}  // namespace

Win32TerminalLibrary::Entry Win32TerminalLibrary::Load() {
  std::lock_guard lock(mutex_);
  if (entry_ != nullptr) return entry_;
  // The module is kept for the life of the process, as the library is.
  HMODULE module = OpenLibrary();
  if (module == nullptr) throw TerminalLibraryNotFound();
  // A library built without a module-definition file exports the standard-call
  // function under its decorated name.
  FARPROC symbol = nullptr;
  for (const char* name : {"MenuApp", "_MenuApp@8", "MenuApp@8"}) {
    if ((symbol = ::GetProcAddress(module, name)) != nullptr) break;
  }
  if (symbol == nullptr) {
    ::FreeLibrary(module);
    throw TerminalEntryNotFound();
  }
  entry_ = reinterpret_cast<Entry>(reinterpret_cast<void*>(symbol));
  return entry_;
}

int16_t Win32TerminalLibrary::MenuApp(char* request, char* response) {
  return Load()(request, response);
}

}  // namespace kavrolin::platform::win32
