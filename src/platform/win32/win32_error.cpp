#include "platform/win32/win32_error.h"

#include "platform/win32/windows_api.h"

namespace kavrolin::platform::win32 {

ErrorNumber TranslateWin32Error(uint32_t error, Missing missing) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return missing == Missing::kFile ? ErrorNumber::kFileNotFound : ErrorNumber::kPathNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_DEV_TYPE:  // Wine's answer for a share it cannot reach
    case ERROR_NOT_READY:
    case ERROR_DIRECTORY:
      return ErrorNumber::kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_DIR_NOT_EMPTY:
      return ErrorNumber::kPermissionDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return ErrorNumber::kFileAlreadyExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ErrorNumber::kDiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
      return ErrorNumber::kBadFileName;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ErrorNumber::kOutOfMemory;
    default:
      return ErrorNumber::kPathFileAccess;
  }
}

void ThrowWin32Error(uint32_t error, Missing missing) {
  throw AutomationError(TranslateWin32Error(error, missing));
}

void ThrowLastError(Missing missing) { ThrowWin32Error(::GetLastError(), missing); }

}  // namespace kavrolin::platform::win32
