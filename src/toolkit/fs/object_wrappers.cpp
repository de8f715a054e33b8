#include "toolkit/fs/object_wrappers.h"

namespace kavrolin::toolkit::fs {
namespace {

// Runs one call on the object; a missing object or any failure gives the
// fallback.
template <class Result, class Call>
Result OnObject(platform::FileSystemObject* fso, Result fallback, Call call) {
  if (fso == nullptr) return fallback;
  try {
    return call(*fso);
  } catch (...) {
    return fallback;
  }
}

}  // namespace

bool DriveExists(platform::FileSystemObject* m_objFso, const Text& drivespec) {
  return OnObject(m_objFso, false, [&](auto& fso) { return fso.DriveExists(drivespec); });
}

bool FileExists(platform::FileSystemObject* m_objFso, const Text& filespec) {
  return OnObject(m_objFso, false, [&](auto& fso) { return fso.FileExists(filespec); });
}

bool FolderExists(platform::FileSystemObject* m_objFso, const Text& folderspec) {
  return OnObject(m_objFso, false, [&](auto& fso) { return fso.FolderExists(folderspec); });
}

bool DeleteFile(platform::FileSystemObject* m_objFso, const Text& filespec, bool& force) {
  return OnObject(m_objFso, false, [&](auto& fso) {
    if (!fso.FileExists(filespec)) return false;
    fso.DeleteFile(filespec, force);
    return true;
  });
}

bool DeleteFolder(platform::FileSystemObject* m_objFso, const Text& folderspec, bool& force) {
  return OnObject(m_objFso, false, [&](auto& fso) {
    if (!fso.FolderExists(folderspec)) return false;
    fso.DeleteFolder(folderspec, force);
    return true;
  });
}

Text GetBaseName(platform::FileSystemObject* m_objFso, const Text& path) {
  return OnObject(m_objFso, Text(), [&](auto& fso) { return fso.GetBaseName(path); });
}

Text GetDriveName(platform::FileSystemObject* m_objFso, const Text& path) {
  return OnObject(m_objFso, Text(), [&](auto& fso) { return fso.GetDriveName(path); });
}

Text GetExtensionName(platform::FileSystemObject* m_objFso, const Text& path) {
  return OnObject(m_objFso, Text(), [&](auto& fso) { return fso.GetExtensionName(path); });
}

Text GetFileName(platform::FileSystemObject* m_objFso, const Text& pathspec) {
  return OnObject(m_objFso, Text(), [&](auto& fso) { return fso.GetFileName(pathspec); });
}

Text GetParentFolderName(platform::FileSystemObject* m_objFso, const Text& path) {
  return OnObject(m_objFso, Text(), [&](auto& fso) { return fso.GetParentFolderName(path); });
}

Text GetSpecialFolder(platform::FileSystemObject* m_objFso, int32_t folderspec) {
  return OnObject(m_objFso, Text(), [&](auto& fso) { return fso.GetSpecialFolder(folderspec); });
}

}  // namespace kavrolin::toolkit::fs
