#include "platform/win32/unique_handle.h"

#include <algorithm>

namespace kavrolin::platform::win32 {

FileCalls& FileCallsInUse() {
  static FileCalls calls;
  return calls;
}

WritersLock::WritersLock(HANDLE file) : file_(file) {
  where_.Offset = kWritersLockOffset;
  where_.OffsetHigh = kWritersLockOffsetHigh;
  held_ = ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where_) != 0;
}

WritersLock::~WritersLock() {
  if (held_) ::UnlockFileEx(file_, 0, 1, 0, &where_);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!FileCallsInUse().write_file(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      // No progress without an error: the disk has no room left.
      ::SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

DWORD LockedAppend(HANDLE file, const std::wstring& path, std::string_view bytes, bool flush) {
  // Under the lock the end cannot move.
  LARGE_INTEGER before{};
  if (!::GetFileSizeEx(file, &before)) return ::GetLastError();
  if (WriteAll(file, bytes) && (!flush || FileCallsInUse().flush_file_buffers(file))) return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  // A handle that may only append cannot cut the file: a second one that may
  // write does it, while the first still holds the lock.
  UniqueHandle cutter(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (cutter.valid() && ::SetFilePointerEx(cutter.get(), before, nullptr, FILE_BEGIN)) {
    ::SetEndOfFile(cutter.get());
  }
  return error;
}

}  // namespace kavrolin::platform::win32
