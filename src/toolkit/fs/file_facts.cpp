#include "toolkit/fs/file_facts.h"

#include <limits>
#include <memory>

#include "base/date_mask.h"
#include "platform/common/file_system_object.h"

namespace kavrolin::toolkit::fs {

int32_t GetFileSize(platform::FileSystem& files, Text& Filename) {
  try {
    const std::unique_ptr<platform::FileSystemObject> fso = files.CreateObject();
    const int64_t size = fso->GetFile(Filename).size;
    // The size is a 32-bit integer: a larger one does not fit and fails.
    if (size < 0 || size > std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(size);
  } catch (...) {
    return 0;
  }
}

Text GetFileLastModiTime(platform::FileSystem& files, Text& pFileName, Text& pMaskStr) {
  try {
    const std::unique_ptr<platform::FileSystemObject> fso = files.CreateObject();
    return FormatDateMask(fso->GetFile(pFileName).last_modified, pMaskStr);
  } catch (...) {
    return Text();
  }
}

}  // namespace kavrolin::toolkit::fs
