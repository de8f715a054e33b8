// A file's size and last-modified time, each read through a file-system
// object of its own made for the call and released before it returns.
// Guarded: any failure answers the fallback, never an error.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/file_system.h"

namespace kavrolin::toolkit::fs {

inline constexpr char16_t kDefaultModifiedMask[] = u"YYYYMMDDHHMM";

// The size in bytes of the file Filename (not changed). 0 for a missing file
// or a folder, a file of 2,147,483,648 bytes or more (it does not fit), a file
// system object that cannot be made, or any other failure; so 0 also stands
// for an empty file.
int32_t GetFileSize(platform::FileSystem& files, Text& Filename);

// The last-modified local time of the file pFileName, formatted with the
// date mask pMaskStr (base/date_mask.h; the default kDefaultModifiedMask gives
// twelve digits). Neither parameter is changed. The empty text on any failure
// (a missing file, a folder), and for a mask that yields nothing.
Text GetFileLastModiTime(platform::FileSystem& files, Text& pFileName, Text& pMaskStr);

}  // namespace kavrolin::toolkit::fs
