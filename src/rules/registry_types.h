// The registry's data types: the key handle, the predefined roots, the status
// codes, the value types and the access rights, as the platform numbers
// them. Shared by the registry interface (platform/registry.h) and the
// registry text rules.
#pragma once

#include <cstdint>

namespace kavrolin::rules {

// A key handle, as the caller's 32-bit handle value.
using RegHandle = uint32_t;

namespace reg {

// The predefined roots.
inline constexpr RegHandle kClassesRoot = 0x80000000;
inline constexpr RegHandle kCurrentUser = 0x80000001;
inline constexpr RegHandle kLocalMachine = 0x80000002;
inline constexpr RegHandle kUsers = 0x80000003;
inline constexpr RegHandle kPerformanceData = 0x80000004;
inline constexpr RegHandle kCurrentConfig = 0x80000005;
inline constexpr RegHandle kDynData = 0x80000006;
inline constexpr bool IsRoot(RegHandle key) { return key >= kClassesRoot && key <= kDynData; }

// Status codes: the platform's error numbers.
inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kFileNotFound = 2;
inline constexpr int32_t kAccessDenied = 5;
inline constexpr int32_t kInvalidHandle = 6;
inline constexpr int32_t kNotEnoughMemory = 8;
inline constexpr int32_t kInvalidParameter = 87;
inline constexpr int32_t kBadPathname = 161;
inline constexpr int32_t kBusy = 170;
inline constexpr int32_t kMoreData = 234;
inline constexpr int32_t kNoMoreItems = 259;
inline constexpr int32_t kBadDb = 1009;
inline constexpr int32_t kCantRead = 1012;
inline constexpr int32_t kCantWrite = 1013;
inline constexpr int32_t kKeyDeleted = 1018;

// Value types. Any other number is stored and answered as it is.
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kSz = 1;
inline constexpr uint32_t kExpandSz = 2;
inline constexpr uint32_t kBinary = 3;
inline constexpr uint32_t kDword = 4;
inline constexpr uint32_t kDwordBigEndian = 5;
inline constexpr uint32_t kLink = 6;
inline constexpr uint32_t kMultiSz = 7;
inline constexpr uint32_t kQword = 11;

// Access rights.
inline constexpr uint32_t kQueryValue = 0x0001;
inline constexpr uint32_t kSetValue = 0x0002;
inline constexpr uint32_t kCreateSubKey = 0x0004;
inline constexpr uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kNotify = 0x0010;
inline constexpr uint32_t kCreateLink = 0x0020;
inline constexpr uint32_t kDelete = 0x00010000;
inline constexpr uint32_t kReadControl = 0x00020000;
inline constexpr uint32_t kWriteDac = 0x00040000;
inline constexpr uint32_t kWriteOwner = 0x00080000;
inline constexpr uint32_t kKeyRead = kReadControl | kQueryValue | kEnumerateSubKeys | kNotify;
inline constexpr uint32_t kKeyWrite = kReadControl | kSetValue | kCreateSubKey;
inline constexpr uint32_t kKeyAllAccess = 0x000F003F;
inline constexpr uint32_t kMaximumAllowed = 0x02000000;

}  // namespace reg

}  // namespace kavrolin::rules
