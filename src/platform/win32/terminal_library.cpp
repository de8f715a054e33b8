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

// "<file>: <the system's message for the calling thread's last error>" into
// `reasons`, "; " between attempts.
void AddReason(const wchar_t* file, Text& reasons) {
  const DWORD error = ::GetLastError();
  wchar_t* message = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring said = length > 0 ? std::wstring(message, length) : std::wstring();
  if (message != nullptr) ::LocalFree(message);
  while (!said.empty() && (said.back() == L'\r' || said.back() == L'\n' || said.back() == L' ')) said.pop_back();
  if (said.empty()) said = L"error " + std::to_wstring(error);
  if (!reasons.empty()) reasons += u"; ";
  const std::wstring line = std::wstring(file) + L": " + said;
  reasons.append(line.begin(), line.end());
}

HMODULE Open(const wchar_t* file, DWORD flags, Text& reasons) {
  HMODULE module = flags == 0 ? ::LoadLibraryW(file) : ::LoadLibraryExW(file, nullptr, flags);
  if (module == nullptr) AddReason(file, reasons);
  return module;
}

HMODULE OpenLibrary(Text& reasons) {
  if (const wchar_t* named = ::_wgetenv(L"KAVROLIN_TRANS_LIBRARY"); named && *named) {
    return Open(named, 0, reasons);
  }
  std::wstring beside = ComponentFolderOf(ComponentFile());
  if (!beside.empty() && beside.back() != L'\\') beside += L'\\';
  beside += kLibraryName;
  if (::GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // The library's own dependencies are looked for beside it too.
    if (HMODULE module = Open(beside.c_str(), LOAD_WITH_ALTERED_SEARCH_PATH, reasons)) return module;
  }
  return Open(kLibraryName, 0, reasons);
}

}  // namespace

Win32TerminalLibrary::Entry Win32TerminalLibrary::Load() {
  if (const Entry entry = entry_.load(std::memory_order_acquire)) return entry;
  std::lock_guard lock(mutex_);
  if (const Entry entry = entry_.load(std::memory_order_relaxed)) return entry;
  // The module is kept for the life of the process, as the library is.
  Text reasons;
  HMODULE module = OpenLibrary(reasons);
  if (module == nullptr) {
    failure_ = std::move(reasons);
    throw TerminalLibraryNotFound();
  }
  // A library built without a module-definition file exports the standard-call
  // function under its decorated name.
  FARPROC symbol = nullptr;
  for (const char* name : {"MenuApp", "_MenuApp@8", "MenuApp@8"}) {
    if ((symbol = ::GetProcAddress(module, name)) != nullptr) break;
  }
  if (symbol == nullptr) {
    AddReason(L"MenuApp", reasons);
    failure_ = std::move(reasons);
    ::FreeLibrary(module);
    throw TerminalEntryNotFound();
  }
  failure_.clear();
  const Entry entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(symbol));
  entry_.store(entry, std::memory_order_release);
  return entry;
}

Text Win32TerminalLibrary::LoadFailure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

int16_t Win32TerminalLibrary::MenuApp(char* request, char* response) {
  return Load()(request, response);
}

}  // namespace kavrolin::platform::win32
