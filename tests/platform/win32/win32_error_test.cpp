#include "platform/win32/win32_error.h"

#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

namespace kavrolin::platform::win32 {
namespace {

// What a file call's Win32 error reaches the caller as: the Basic runtime's
// numbers, the same as the POSIX realisation gives for the same failures.
TEST(Win32Error, FileErrorsTranslateToRuntimeNumbers) {
  const struct {
    const char* label;
    uint32_t error;
    Missing missing;
    ErrorNumber number;
  } rows[] = {
      {"missing_file", ERROR_FILE_NOT_FOUND, Missing::kFile, ErrorNumber::kFileNotFound},
      {"missing_folder", ERROR_FILE_NOT_FOUND, Missing::kFolder, ErrorNumber::kPathNotFound},
      {"path_not_found", ERROR_PATH_NOT_FOUND, Missing::kFile, ErrorNumber::kPathNotFound},
      {"no_such_drive", ERROR_INVALID_DRIVE, Missing::kFile, ErrorNumber::kPathNotFound},
      {"no_such_share", ERROR_BAD_NET_NAME, Missing::kFile, ErrorNumber::kPathNotFound},
      {"no_access", ERROR_ACCESS_DENIED, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"open_elsewhere", ERROR_SHARING_VIOLATION, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"locked", ERROR_LOCK_VIOLATION, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"folder_not_empty", ERROR_DIR_NOT_EMPTY, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"file_exists", ERROR_FILE_EXISTS, Missing::kFile, ErrorNumber::kFileAlreadyExists},
      {"already_exists", ERROR_ALREADY_EXISTS, Missing::kFile, ErrorNumber::kFileAlreadyExists},
      {"disk_full", ERROR_DISK_FULL, Missing::kFile, ErrorNumber::kDiskFull},
      {"handle_disk_full", ERROR_HANDLE_DISK_FULL, Missing::kFile, ErrorNumber::kDiskFull},
      {"bad_name", ERROR_INVALID_NAME, Missing::kFile, ErrorNumber::kBadFileName},
      {"name_too_long", ERROR_FILENAME_EXCED_RANGE, Missing::kFile, ErrorNumber::kBadFileName},
      {"no_memory", ERROR_NOT_ENOUGH_MEMORY, Missing::kFile, ErrorNumber::kOutOfMemory},
      {"anything_else", ERROR_GEN_FAILURE, Missing::kFile, ErrorNumber::kPathFileAccess},
      {"no_error", ERROR_SUCCESS, Missing::kFile, ErrorNumber::kPathFileAccess},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(TranslateWin32Error(row.error, row.missing), row.number);
  }
}

TEST(Win32Error, LastErrorIsThrownWithTheRuntimeText) {
  ::SetLastError(ERROR_PATH_NOT_FOUND);
  try {
    ThrowLastError(Missing::kFile);
    FAIL() << "no throw";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 76);
    EXPECT_EQ(e.description(), u"Path not found");
  }
}

}  // namespace
}  // namespace kavrolin::platform::win32
