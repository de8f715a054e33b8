// The simulator's host files on Windows: CreateFileW, and LockFileEx on the
// writers' range the component's own writers lock (unique_handle.h).
#include "host_file.h"

#include <cstdlib>

#include "base/automation_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"

namespace kavrolin::terminal_sim {
namespace fs = std::filesystem;
namespace {

using platform::win32::UniqueHandle;
using platform::win32::WritersLock;

std::string ErrorText(DWORD error) { return "error " + std::to_string(error); }

UniqueHandle Open(const fs::path& path, DWORD access, std::string& error) {
  UniqueHandle file(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) error = ErrorText(::GetLastError());
  return file;
}

bool Failed(std::string& error) {
  error = ErrorText(::GetLastError());
  return false;
}

}  // namespace

bool WriteHostFile(const fs::path& path, std::string_view bytes, bool append, std::string& error) {
  UniqueHandle file = Open(path, GENERIC_READ | (append ? FILE_APPEND_DATA : GENERIC_WRITE), error);
  if (!file.valid()) return false;
  const WritersLock lock(file.get());
  if (!lock.held()) return Failed(error);
  if (append) {
    const DWORD failure = platform::win32::LockedAppend(file.get(), path.wstring(), bytes, false);
    if (failure != ERROR_SUCCESS) error = ErrorText(failure);
    return failure == ERROR_SUCCESS;
  }
  // Cut only once the lock is held, as the POSIX build does.
  if (!::SetEndOfFile(file.get()) || !platform::win32::WriteAll(file.get(), bytes)) return Failed(error);
  return true;
}

bool UpdateHostFile(const fs::path& path, const std::function<std::string(const std::string&)>& edit,
                    std::string& error) {
  UniqueHandle file = Open(path, GENERIC_READ | GENERIC_WRITE, error);
  if (!file.valid()) return false;
  const WritersLock lock(file.get());
  if (!lock.held()) return Failed(error);
  std::string content;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return Failed(error);
    if (got == 0) break;
    content.append(buffer, got);
  }
  const std::string updated = edit(content);
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
      !platform::win32::WriteAll(file.get(), updated) || !::SetEndOfFile(file.get())) {
    return Failed(error);
  }
  return true;
}

fs::path StateHome() {
  if (const wchar_t* prefix = ::_wgetenv(L"KAVROLIN_PREFIX"); prefix && *prefix) return prefix;
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
  return n == 0 || n > MAX_PATH ? fs::path(L".") : fs::path(std::wstring(temp, n));
}

fs::path HostFolder(TextView windows_path) {
  if (windows_path.empty()) throw AutomationError(ErrorNumber::kPathNotFound);
  return fs::path(std::wstring(windows_path.begin(), windows_path.end()));
}

fs::path HostFileNamed(const std::string& utf8) {
  const Text text = FromUtf8(utf8);
  return fs::path(std::wstring(text.begin(), text.end()));
}

Text FromNativePath(const fs::path& path) {
  const std::wstring native = path.wstring();
  return Text(native.begin(), native.end());
}

}  // namespace kavrolin::terminal_sim
