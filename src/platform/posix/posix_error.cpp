#include "platform/posix/posix_error.h"

#include <cerrno>

#include "platform/echo.h"

namespace kavrolin::platform::posix {

ErrorNumber TranslateErrno(int err, Missing missing) {
  switch (err) {
    case ENOENT:
      return missing == Missing::kFile ? ErrorNumber::kFileNotFound : ErrorNumber::kPathNotFound;
    case ENOTDIR:
      return ErrorNumber::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
    case EBUSY:
      return ErrorNumber::kPermissionDenied;
    case EEXIST:
      return ErrorNumber::kFileAlreadyExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ErrorNumber::kDiskFull;
    case ENAMETOOLONG:
    case EILSEQ:
      return ErrorNumber::kBadFileName;
    case ENOMEM:
      return ErrorNumber::kOutOfMemory;
    default:
      return ErrorNumber::kPathFileAccess;
  }
}

void ThrowErrno(int err, Missing missing) { throw AutomationError(TranslateErrno(err, missing)); }

uint32_t IpStatusOfErrno(int err) {
  switch (err) {
    case ENETUNREACH:
    case ENETDOWN:
      return kIpDestNetUnreachable;
    case EHOSTUNREACH:
    case EHOSTDOWN:
      return kIpDestHostUnreachable;
    case ECONNREFUSED:
      return kIpDestProtUnreachable;
    case EMSGSIZE:
      return kIpPacketTooBig;
    case ENOBUFS:
    case ENOMEM:
      return kIpNoResources;
    // A broadcast or an address the system will not send to.
    case EACCES:
    case EPERM:
    case EADDRNOTAVAIL:
    case EINVAL:
      return kIpBadDestination;
    default:
      return kIpGeneralFailure;
  }
}

}  // namespace kavrolin::platform::posix
