// The eleven wrappers around the toolkit object's own file-system object
// (m_objFso, made with the object; null when it could not be made). Each
// makes one call (DeleteFile and DeleteFolder two) on it and answers what it
// answers. Guarded: a null object or any failure answers the fallback, false
// or the empty text, never an error; so a fallback cannot be told from a
// real "no" or an empty part.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/common/file_system_object.h"

namespace kavrolin::toolkit::fs {

// Whether the drive ("C", "C:", "C:\..."), file or folder exists.
bool DriveExists(platform::FileSystemObject* m_objFso, const Text& drivespec);
bool FileExists(platform::FileSystemObject* m_objFso, const Text& filespec);
bool FolderExists(platform::FileSystemObject* m_objFso, const Text& folderspec);

// Deletes the file only when FileExists says it is there: true when it was
// and the deletion went through. False when there was no such file (nothing
// is tried) and when the deletion failed, as for a read-only file without
// force. force is not changed.
bool DeleteFile(platform::FileSystemObject* m_objFso, const Text& filespec, bool& force);

// Deletes the folder with everything in it only when FolderExists says it is
// there: true when it was and the deletion went through; false when there was
// no such folder (nothing is tried) and when the deletion failed, as for a
// read-only item without force, or a drive root. force is not changed.
bool DeleteFolder(platform::FileSystemObject* m_objFso, const Text& folderspec, bool& force);

// Parts of the path computed from the text alone (platform/win_path.h): the
// last component without its extension, the drive ("C:" or "\\server\share"),
// the extension without its dot, the last component, the path without its
// last component.
Text GetBaseName(platform::FileSystemObject* m_objFso, const Text& path);
Text GetDriveName(platform::FileSystemObject* m_objFso, const Text& path);
Text GetExtensionName(platform::FileSystemObject* m_objFso, const Text& path);
Text GetFileName(platform::FileSystemObject* m_objFso, const Text& pathspec);
Text GetParentFolderName(platform::FileSystemObject* m_objFso, const Text& path);

// The full path of the Windows (0), system (1) or temporary (2) folder; the
// empty text for another value.
Text GetSpecialFolder(platform::FileSystemObject* m_objFso, int32_t folderspec);

}  // namespace kavrolin::toolkit::fs
