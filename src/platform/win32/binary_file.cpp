#include "platform/win32/binary_file.h"

#include <algorithm>
#include <atomic>

#include "base/automation_error.h"
#include "platform/win32/win32_error.h"

namespace kavrolin::platform::win32 {

UniqueHandle NewFileIn(const std::wstring& folder, std::wstring& temp) {
  static std::atomic<unsigned> counter{0};
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = base + L".kavrolin-new-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(::GetTickCount());
    UniqueHandle file(::CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (file.valid()) return file;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      ThrowWin32Error(error, Missing::kFolder);
    }
  }
  throw AutomationError(ErrorNumber::kPathFileAccess);
}

void MoveIntoPlace(UniqueHandle& temp_file, const std::wstring& temp, const std::wstring& target) {
  if (!::FlushFileBuffers(temp_file.get())) ThrowLastError();
  temp_file.Reset();
  if (!::MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ThrowLastError();
  }
}

Win32BinaryFile::Win32BinaryFile(UniqueHandle file) : file_(std::move(file)) {}

Win32BinaryFile::Win32BinaryFile(UniqueHandle file, std::wstring temp, std::wstring target)
    : file_(std::move(file)), temp_(std::move(temp)), target_(std::move(target)) {}

Win32BinaryFile::~Win32BinaryFile() {
  file_.Reset();
  if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
}

size_t Win32BinaryFile::Read(char* buffer, size_t size) {
  size_t total = 0;
  while (total < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - total, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file_.get(), buffer + total, chunk, &got, nullptr)) ThrowLastError();
    if (got == 0) break;
    total += got;
  }
  return total;
}

void Win32BinaryFile::Write(std::string_view bytes) {
  if (!WriteAll(file_.get(), bytes)) ThrowLastError();
}

void Win32BinaryFile::Commit() {
  if (temp_.empty()) return;
  // The new file takes the place's ordinary attributes, not the hidden mark
  // it was made with.
  MoveIntoPlace(file_, temp_, target_);
  temp_.clear();
  ::SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

}  // namespace kavrolin::platform::win32
