// Owns one Windows kernel handle and closes it when it goes. Move-only. Both
// null and INVALID_HANDLE_VALUE mean no handle, as the creating functions
// answer one or the other on failure. Beside it, the one place that writes
// whole byte runs and appends under the writers' lock.
#pragma once

#include "platform/win32/windows_api.h"

#include <string>
#include <string_view>
#include <utility>

namespace kavrolin::platform::win32 {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void Reset() {
    if (valid()) ::CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Owns a directory search handle (FindFirstFileW), closed with FindClose.
class UniqueFind {
 public:
  explicit UniqueFind(HANDLE handle) : handle_(handle) {}
  ~UniqueFind() {
    if (valid()) ::FindClose(handle_);
  }
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The range a file's writers lock with LockFileEx: one byte far past any
// data, so writers wait for each other and readers are never blocked. Every
// writer of a shared file (the component, the simulator, the tools) locks
// this one range, so they exclude each other.
inline constexpr DWORD kWritersLockOffset = 0xFFFFFFFE;
inline constexpr DWORD kWritersLockOffsetHigh = 0x7FFFFFFF;

// Holds the writers' lock on an open file (opened with read or write access)
// from construction, waiting for it, until it goes.
class WritersLock {
 public:
  explicit WritersLock(HANDLE file);
  ~WritersLock();
  WritersLock(const WritersLock&) = delete;
  WritersLock& operator=(const WritersLock&) = delete;
  // False when the lock could not be taken; GetLastError says why.
  bool held() const { return held_; }

 private:
  HANDLE file_;
  OVERLAPPED where_{};
  bool held_ = false;
};

// Writes every byte at the file's position (at its end for a file opened to
// append); false with GetLastError set on failure, a write cut short by a
// full disk included (ERROR_DISK_FULL).
bool WriteAll(HANDLE file, std::string_view bytes);

// Appends `bytes` to `file` (`path`, opened for appending, its writers' lock
// held), flushing them to the disk with `flush`. On failure answers the
// system's error and undoes a part-way write: the file is cut back to the
// size it had, so it keeps no torn record for the next one to be glued to
// and no record its caller was told is missing. ERROR_SUCCESS on success.
DWORD LockedAppend(HANDLE file, const std::wstring& path, std::string_view bytes, bool flush);

// The system calls WriteAll and LockedAppend make. Tests replace them to
// cut a write short or refuse a flush; nothing else touches them.
struct FileCalls {
  BOOL(WINAPI* write_file)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::WriteFile;
  BOOL(WINAPI* flush_file_buffers)(HANDLE) = ::FlushFileBuffers;
};
FileCalls& FileCallsInUse();

}  // namespace kavrolin::platform::win32
