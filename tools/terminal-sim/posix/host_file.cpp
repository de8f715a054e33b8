#include "host_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/automation_error.h"

#if defined(_WIN32)
#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/prefix.h"
#include "platform/posix/unique_fd.h"
#endif

namespace kavrolin::terminal_sim {
namespace fs = std::filesystem;

std::string Display(const fs::path& path) { return ToUtf8(FromNativePath(path)); }

#if defined(_WIN32)
namespace {

using platform::win32::UniqueHandle;

std::string LastError() { return "error " + std::to_string(::GetLastError()); }

UniqueHandle OpenLocked(const fs::path& path, DWORD access, DWORD flags, std::string& error) {
  UniqueHandle file(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, flags, nullptr));
  if (!file.valid()) {
    error = LastError();
    return file;
  }
  OVERLAPPED where{};
  where.Offset = 0xFFFFFFFE;
  where.OffsetHigh = 0x7FFFFFFF;
  // Released when the handle closes.
  if (!::LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where)) {
    error = LastError();
    return UniqueHandle();
  }
  return file;
}

bool WriteAll(HANDLE file, std::string_view bytes, std::string& error) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      error = LastError();
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteHostFile(const fs::path& path, std::string_view bytes, bool append, std::string& error) {
  UniqueHandle file = OpenLocked(path, GENERIC_READ | (append ? FILE_APPEND_DATA : GENERIC_WRITE),
                                 FILE_ATTRIBUTE_NORMAL, error);
  if (!file.valid()) return false;
  if (!append && !::SetEndOfFile(file.get())) {
    error = LastError();
    return false;
  }
  return WriteAll(file.get(), bytes, error);
}

bool UpdateHostFile(const fs::path& path, const std::function<std::string(const std::string&)>& edit,
                    std::string& error) {
  UniqueHandle file = OpenLocked(path, GENERIC_READ | GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL, error);
  if (!file.valid()) return false;
  std::string content;
  char buffer[4096];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      error = LastError();
      return false;
    }
    if (got == 0) break;
    content.append(buffer, got);
  }
  const std::string updated = edit(content);
  LARGE_INTEGER start{};
  if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
      !WriteAll(file.get(), updated, error) || !::SetEndOfFile(file.get())) {
    if (error.empty()) error = LastError();
    return false;
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
#else
namespace {

using platform::posix::LockExclusive;
using platform::posix::OpenFd;
using platform::posix::ReadAll;
using platform::posix::UniqueFd;
using platform::posix::WriteAll;

}  // namespace

bool WriteHostFile(const fs::path& path, std::string_view bytes, bool append, std::string& error) {
  UniqueFd fd = OpenFd(path.c_str(), O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC), 0644);
  if (!fd.valid() || (append && !LockExclusive(fd.get())) || !WriteAll(fd.get(), bytes)) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

bool UpdateHostFile(const fs::path& path, const std::function<std::string(const std::string&)>& edit,
                    std::string& error) {
  UniqueFd fd = OpenFd(path.c_str(), O_RDWR | O_CREAT, 0644);
  // The lock goes with the descriptor, so it is released when fd closes.
  std::string content;
  if (!fd.valid() || !LockExclusive(fd.get()) || !ReadAll(fd.get(), content)) {
    error = std::strerror(errno);
    return false;
  }
  const std::string updated = edit(content);
  if (::lseek(fd.get(), 0, SEEK_SET) < 0 || !WriteAll(fd.get(), updated) ||
      ::ftruncate(fd.get(), static_cast<off_t>(updated.size())) < 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

fs::path StateHome() {
  const fs::path root = platform::posix::Prefix::DefaultRoot();
  std::error_code ec;
  fs::create_directories(root, ec);  // a failure shows when the file cannot be opened
  return root;
}

fs::path HostFolder(TextView windows_path) {
  return platform::posix::Prefix(platform::posix::Prefix::DefaultRoot()).ToHost(windows_path).path;
}

fs::path HostFileNamed(const std::string& utf8) { return fs::path(utf8); }

Text FromNativePath(const fs::path& path) { return FromUtf8(path.string()); }
#endif

}  // namespace kavrolin::terminal_sim
