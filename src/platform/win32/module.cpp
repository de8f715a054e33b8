#include "platform/win32/module.h"

#include "platform/win32/windows_api.h"

#include <vector>

#include "platform/win32/native_path.h"

namespace kavrolin::platform::win32 {

std::wstring ComponentFile() {
  static const int anchor = 0;
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&anchor), &module);
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return L"C:\\";
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);  // cut short: try a larger buffer
  }
}

std::wstring ComponentFolderOf(const std::wstring& file) {
  const size_t slash = file.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return file;
  // "C:\Kavrolin.dll" lives in the root, which keeps its "\".
  if (slash == 2 && file.size() > 1 && file[1] == L':') return file.substr(0, 3);
  return file.substr(0, slash);
}

Text Win32Module::ComponentFolder() { return FromNative(ComponentFolderOf(ComponentFile())); }

Text Win32Module::ComponentPath() { return FromNative(ComponentFile()); }

}  // namespace kavrolin::platform::win32
