#include "platform/posix/posix_error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/echo.h"

namespace kavrolin::platform::posix {
namespace {

// What a file call's errno reaches the caller as: the numbers the Basic
// runtime gives for the same failures on Windows.
TEST(PosixError, FileErrorsTranslateToRuntimeNumbers) {
  const struct {
    const char* label;
    int err;
    Missing missing;
    ErrorNumber number;
  } rows[] = {
      {"missing_file", ENOENT, Missing::kFile, ErrorNumber::kFileNotFound},
      {"missing_folder", ENOENT, Missing::kFolder, ErrorNumber::kPathNotFound},
      {"component_not_a_folder", ENOTDIR, Missing::kFile, ErrorNumber::kPathNotFound},
      {"no_access", EACCES, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"read_only_system", EROFS, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"folder_where_a_file_is_wanted", EISDIR, Missing::kFile, ErrorNumber::kPermissionDenied},
      {"exists", EEXIST, Missing::kFile, ErrorNumber::kFileAlreadyExists},
      {"no_space", ENOSPC, Missing::kFile, ErrorNumber::kDiskFull},
      {"quota", EDQUOT, Missing::kFile, ErrorNumber::kDiskFull},
      {"too_large", EFBIG, Missing::kFile, ErrorNumber::kDiskFull},
      {"name_too_long", ENAMETOOLONG, Missing::kFile, ErrorNumber::kBadFileName},
      {"name_not_in_the_encoding", EILSEQ, Missing::kFile, ErrorNumber::kBadFileName},
      {"no_memory", ENOMEM, Missing::kFile, ErrorNumber::kOutOfMemory},
      {"anything_else", EIO, Missing::kFile, ErrorNumber::kPathFileAccess},
      {"no_error_number", 0, Missing::kFile, ErrorNumber::kPathFileAccess},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(TranslateErrno(row.err, row.missing), row.number);
  }
}

TEST(PosixError, ThrowCarriesTheNumberAndTheRuntimeText) {
  try {
    ThrowErrno(ENOENT, Missing::kFolder);
    FAIL() << "no throw";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 76);
    EXPECT_EQ(e.description(), u"Path not found");
  }
}

TEST(PosixError, EchoFailuresTranslateToIpStatuses) {
  const struct {
    const char* label;
    int err;
    uint32_t status;
  } rows[] = {
      {"network_unreachable", ENETUNREACH, kIpDestNetUnreachable},
      {"host_unreachable", EHOSTUNREACH, kIpDestHostUnreachable},
      {"refused", ECONNREFUSED, kIpDestProtUnreachable},
      {"too_big", EMSGSIZE, kIpPacketTooBig},
      {"no_buffers", ENOBUFS, kIpNoResources},
      {"broadcast_refused", EACCES, kIpBadDestination},
      {"address_not_here", EADDRNOTAVAIL, kIpBadDestination},
      {"anything_else", EIO, kIpGeneralFailure},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(IpStatusOfErrno(row.err), row.status);
  }
}

}  // namespace
}  // namespace kavrolin::platform::posix
