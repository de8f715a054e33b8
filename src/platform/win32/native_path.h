// Windows-form paths as the Windows wide-character functions take them: the
// component's paths are native on Windows, so only the character type changes.
#pragma once

#include <string>

#include "base/text.h"

namespace kavrolin::platform::win32 {

// The path for the wide functions; throws 76 for an empty path, which names
// nothing (and must never reach a function that would take it as the current
// folder).
std::wstring NativePath(TextView path);

// The absolute form (GetFullPathNameW); throws 76 for an empty path.
std::wstring FullPath(TextView path);

Text FromNative(std::wstring_view path);

// True when `inner` is `outer` or lies inside it, both absolute, compared
// without regard to letter case.
bool Holds(const std::wstring& outer, const std::wstring& inner);

// True for a drive root ("C:\") or a network share root ("\\server\share\").
bool IsRoot(const std::wstring& full_path);

}  // namespace kavrolin::platform::win32
