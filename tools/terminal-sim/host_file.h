// The simulator's own files on the host it runs on: the call counter, the
// record and the receipt. One realisation for POSIX (posix/host_file.cpp:
// open, flock) and one for Windows (win32/host_file.cpp: CreateFileW,
// LockFileEx), chosen by CMake; the callers are the same on both. Every write
// takes the lock the component's writers take, so neither ever sees the
// other's half-written file.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "base/text.h"

namespace kavrolin::terminal_sim {

// Writes `bytes` to the file, creating it: appended in one write under an
// exclusive lock (so concurrent callers never interleave), or replacing what
// the file held under the same lock. False, with the reason in `error`, when the system refuses.
bool WriteHostFile(const std::filesystem::path& path, std::string_view bytes, bool append,
                   std::string& error);

// Reads the whole file (created empty when missing) and writes back what
// `edit` answers, all under one exclusive lock. False, with the reason in
// `error`, when it cannot be opened, locked, read or written.
bool UpdateHostFile(const std::filesystem::path& path,
                    const std::function<std::string(const std::string&)>& edit, std::string& error);

// The folder that keeps the simulator's state by default: the prefix
// (KAVROLIN_PREFIX, else ~/.kavrolin) on POSIX; KAVROLIN_PREFIX, else the
// temporary folder, on Windows.
std::filesystem::path StateHome();

// The host folder a Windows path names: through the prefix on POSIX, the path
// itself on Windows. Throws AutomationError for a path that names nothing.
std::filesystem::path HostFolder(TextView windows_path);

// A host file named by a setting's UTF-8 text, taken as it stands.
std::filesystem::path HostFileNamed(const std::string& utf8);

// The path as text, and as UTF-8 for messages.
Text FromNativePath(const std::filesystem::path& path);
inline std::string Display(const std::filesystem::path& path) { return ToUtf8(FromNativePath(path)); }

}  // namespace kavrolin::terminal_sim
