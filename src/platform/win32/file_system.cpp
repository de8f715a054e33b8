#include "platform/win32/file_system.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/automation_error.h"
#include "base/upper_case.h"
#include "platform/win32/binary_file.h"
#include "platform/win32/clock.h"
#include "platform/win32/native_path.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_error.h"
#include "rules/win_path.h"
#include "rules/win_wildcard.h"

namespace kavrolin::platform::win32 {
namespace {

constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

DWORD AttributesOf(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

std::wstring ParentOf(const std::wstring& full) {
  std::wstring p = full;
  while (p.size() > 3 && IsSeparator(p.back())) p.pop_back();
  const size_t slash = p.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return slash <= 2 ? p.substr(0, slash + 1) : p.substr(0, slash);
}

// A missing file when its folder exists, else a missing folder.
[[noreturn]] void ThrowForPath(DWORD error, const std::wstring& full) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    const DWORD parent = AttributesOf(ParentOf(full));
    const bool there = parent != kNoAttributes && (parent & FILE_ATTRIBUTE_DIRECTORY);
    ThrowWin32Error(ERROR_FILE_NOT_FOUND, there ? Missing::kFile : Missing::kFolder);
  }
  ThrowWin32Error(error);
}

uint32_t ToAttributes(DWORD attributes) {
  return attributes & (kSettable | FILE_ATTRIBUTE_DIRECTORY);
}

LocalTime ToLocalTime(const FILETIME& utc) {
  FILETIME local{};
  SYSTEMTIME time{};
  ::FileTimeToLocalFileTime(&utc, &local);
  ::FileTimeToSystemTime(&local, &time);
  time.wMilliseconds = 0;  // whole seconds
  return LocalTimeOf(time);
}

// Removes the folder's contents and then the folder; links are removed, not
// followed.
void RemoveTree(const std::wstring& folder) {
  std::vector<std::pair<std::wstring, DWORD>> children;
  {
    WIN32_FIND_DATAW entry;
    UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!find.valid()) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) ThrowWin32Error(error, Missing::kFolder);
    } else {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        children.emplace_back(folder + L"\\" + name, entry.dwFileAttributes);
      } while (::FindNextFileW(find.get(), &entry));
    }
  }
  for (const auto& [path, attributes] : children) {
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY & kSettable);
    }
    const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!link) RemoveTree(path);
      else if (!::RemoveDirectoryW(path.c_str())) ThrowLastError(Missing::kFolder);
    } else if (!::DeleteFileW(path.c_str())) {
      ThrowLastError();
    }
  }
  const DWORD own = AttributesOf(folder);
  if (own != kNoAttributes && (own & FILE_ATTRIBUTE_READONLY)) {
    ::SetFileAttributesW(folder.c_str(), own & ~FILE_ATTRIBUTE_READONLY & kSettable);
  }
  if (!::RemoveDirectoryW(folder.c_str())) ThrowLastError(Missing::kFolder);
}

// True when some item inside the folder (or the folder) is read-only.
bool AnyReadOnly(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find.valid()) return false;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
      // A read-only folder means nothing to deletion on Windows; a file does.
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    }
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && AnyReadOnly(folder + L"\\" + name)) {
      return true;
    }
  } while (::FindNextFileW(find.get(), &entry));
  return false;
}

bool EndsInSeparator(TextView path) { return !path.empty() && rules::win_path::IsSeparator(path.back()); }

}  // namespace

bool Win32FileSystem::FileExists(TextView path) {
  if (path.empty()) return false;
  const DWORD a = AttributesOf(NativePath(path));
  return a != kNoAttributes && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::FolderExists(TextView path) {
  if (path.empty()) return false;
  const DWORD a = AttributesOf(NativePath(path));
  return a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::DriveExists(TextView drive) {
  if (drive.empty()) return false;
  const char16_t letter = drive[0];
  const bool is_letter = (letter >= u'A' && letter <= u'Z') || (letter >= u'a' && letter <= u'z');
  if (!is_letter || (drive.size() > 1 && drive[1] != u':')) return false;
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};
  const UINT type = ::GetDriveTypeW(root);
  return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
}

bool Win32FileSystem::SameFile(TextView a, TextView b) {
  if (a.empty() || b.empty()) return false;
  auto identity = [](TextView path, BY_HANDLE_FILE_INFORMATION& info) {
    UniqueHandle file(::CreateFileW(NativePath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() && ::GetFileInformationByHandle(file.get(), &info);
  };
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  return identity(a, ia) && identity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

FileFacts Win32FileSystem::Stat(TextView path) {
  const std::wstring full = FullPath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data)) {
    ThrowForPath(::GetLastError(), full);
  }
  FileFacts facts;
  facts.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.size = facts.is_directory
                   ? 0
                   : static_cast<int64_t>((uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
  facts.last_modified = ToLocalTime(data.ftLastWriteTime);
  facts.attributes = ToAttributes(data.dwFileAttributes);
  return facts;
}

void Win32FileSystem::SetAttributes(TextView path, uint32_t attributes) {
  const std::wstring full = FullPath(path);
  if (AttributesOf(full) == kNoAttributes) ThrowForPath(::GetLastError(), full);
  const DWORD wanted = attributes & kSettable;
  if (!::SetFileAttributesW(full.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted)) {
    ThrowLastError();
  }
}

std::string Win32FileSystem::ReadFile(TextView path) {
  const std::wstring full = FullPath(path);
  const DWORD a = AttributesOf(full);
  if (a != kNoAttributes && (a & FILE_ATTRIBUTE_DIRECTORY)) {
    throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  UniqueHandle file(::CreateFileW(full.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) ThrowForPath(::GetLastError(), full);
  std::string bytes;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.get(), &size)) bytes.reserve(static_cast<size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) ThrowLastError();
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

void Win32FileSystem::AppendFile(TextView path, std::string_view bytes, bool sync) {
  const std::wstring full = FullPath(path);
  // The process may be privileged (or Wine run as root, which ignores the
  // mark); a read-only file stays unwritten anyway.
  const DWORD a = AttributesOf(full);
  if (a != kNoAttributes && (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  // Read access lets LockFileEx take the lock; appending data puts every
  // write at the end, whoever else appends.
  UniqueHandle file(::CreateFileW(full.c_str(), GENERIC_READ | FILE_APPEND_DATA, kShareAll, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) ThrowForPath(::GetLastError(), full);
  const WritersLock lock(file.get());
  if (!lock.held()) ThrowLastError();
  // One write for the whole record; a part-way one is undone.
  if (const DWORD error = LockedAppend(file.get(), full, bytes, sync); error != ERROR_SUCCESS) {
    ThrowWin32Error(error);
  }
}

void Win32FileSystem::ReplaceFile(TextView path, std::string_view bytes, Replace mode) {
  const std::wstring full = FullPath(path);
  const DWORD old = AttributesOf(full);
  const bool existed = old != kNoAttributes;
  if (existed && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  std::wstring temp;
  UniqueHandle file = NewFileIn(ParentOf(full), temp);
  bool done = false;
  struct Cleanup {
    const std::wstring& temp;
    bool& done;
    ~Cleanup() {
      if (!done) ::DeleteFileW(temp.c_str());
    }
  } cleanup{temp, done};
  if (!WriteAll(file.get(), bytes)) ThrowLastError();
  // MOVEFILE_WRITE_THROUGH: the move is on disk when it returns, whatever
  // the mode asks.
  MoveIntoPlace(file, temp, full);
  done = true;
  const DWORD keep = existed ? (old & kSettable) : FILE_ATTRIBUTE_ARCHIVE;
  ::SetFileAttributesW(full.c_str(), keep == 0 ? FILE_ATTRIBUTE_NORMAL : keep);
  (void)mode;
}

void Win32FileSystem::CreateDirectory(TextView path) {
  const std::wstring full = FullPath(path);
  if (IsRoot(full)) throw AutomationError(ErrorNumber::kPathFileAccess);
  if (::CreateDirectoryW(full.c_str(), nullptr)) return;
  const DWORD error = ::GetLastError();
  if (error == ERROR_ALREADY_EXISTS) throw AutomationError(ErrorNumber::kPathFileAccess);
  ThrowWin32Error(error, Missing::kFolder);
}

void Win32FileSystem::DeleteFile(TextView path, bool force) {
  if (EndsInSeparator(path)) throw AutomationError(ErrorNumber::kFileNotFound);
  const std::wstring full = FullPath(path);
  const DWORD a = AttributesOf(full);
  if (a == kNoAttributes) ThrowForPath(::GetLastError(), full);
  if (a & FILE_ATTRIBUTE_DIRECTORY) throw AutomationError(ErrorNumber::kFileNotFound);
  if (a & FILE_ATTRIBUTE_READONLY) {
    if (!force) throw AutomationError(ErrorNumber::kPermissionDenied);
    if (!::SetFileAttributesW(full.c_str(), (a & kSettable & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL)) {
      ThrowLastError();
    }
  }
  if (!::DeleteFileW(full.c_str())) ThrowLastError();
}

void Win32FileSystem::DeleteFolder(TextView path, bool force) {
  const std::wstring full = FullPath(path);
  if (IsRoot(full)) throw AutomationError(ErrorNumber::kPermissionDenied);
  std::wstring folder = full;
  while (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
  const DWORD a = AttributesOf(folder);
  if (a == kNoAttributes || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
    throw AutomationError(ErrorNumber::kPathNotFound);
  }
  // The current folder, a folder holding it, and the Windows folder are
  // refused, as the whole machine would go with them.
  wchar_t current[MAX_PATH];
  const DWORD n = ::GetCurrentDirectoryW(MAX_PATH, current);
  wchar_t windows[MAX_PATH];
  const UINT w = ::GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH || Holds(folder, std::wstring(current, n)) ||
      (w > 0 && w < MAX_PATH && Holds(folder, std::wstring(windows, w)))) {
    throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  if (!force && AnyReadOnly(folder)) throw AutomationError(ErrorNumber::kPermissionDenied);
  if (a & FILE_ATTRIBUTE_REPARSE_POINT) {
    // A link to a folder: the link goes, not what it points at.
    if (!::RemoveDirectoryW(folder.c_str())) ThrowLastError(Missing::kFolder);
    return;
  }
  RemoveTree(folder);
}

Text Win32FileSystem::GetSpecialFolder(int32_t which) {
  wchar_t buffer[MAX_PATH + 1];
  UINT n = 0;
  switch (static_cast<SpecialFolder>(which)) {
    case SpecialFolder::kWindows:
      n = ::GetWindowsDirectoryW(buffer, MAX_PATH);
      break;
    case SpecialFolder::kSystem:
      n = ::GetSystemDirectoryW(buffer, MAX_PATH);
      break;
    case SpecialFolder::kTemporary:
      n = ::GetTempPathW(MAX_PATH + 1, buffer);
      break;
    default:
      throw AutomationError(ErrorNumber::kInvalidCall);
  }
  if (n == 0 || n > MAX_PATH) ThrowLastError(Missing::kFolder);
  std::wstring folder(buffer, n);
  while (folder.size() > 3 && IsSeparator(folder.back())) folder.pop_back();
  ::CreateDirectoryW(folder.c_str(), nullptr);  // made on first use; there already on most machines
  return FromNative(folder);
}

std::unique_ptr<BinaryFile> Win32FileSystem::OpenBinary(TextView path, BinaryAccess access) {
  const std::wstring full = FullPath(path);
  // A path ending in a separator names a folder, whatever is there.
  if (IsRoot(full) || EndsInSeparator(path)) throw AutomationError(ErrorNumber::kPathFileAccess);
  const DWORD a = AttributesOf(full);
  const bool exists = a != kNoAttributes;
  if (exists && (a & FILE_ATTRIBUTE_DIRECTORY)) throw AutomationError(ErrorNumber::kPathFileAccess);
  if (access == BinaryAccess::kRead) {
    UniqueHandle file(::CreateFileW(full.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) ThrowForPath(::GetLastError(), full);
    // Devices and pipes have no end to read to.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) throw AutomationError(ErrorNumber::kPathFileAccess);
    return std::make_unique<Win32BinaryFile>(std::move(file));
  }
  if (exists && (a & FILE_ATTRIBUTE_READONLY)) throw AutomationError(ErrorNumber::kPermissionDenied);
  std::wstring temp;
  UniqueHandle file = NewFileIn(ParentOf(full), temp);
  return std::make_unique<Win32BinaryFile>(std::move(file), std::move(temp), full);
}

std::vector<Text> Win32FileSystem::FindFiles(TextView pattern, uint32_t attributes) {
  // The folder part ends at the last separator, or after "X:" without one.
  size_t split = pattern.size();
  while (split > 0 && !rules::win_path::IsSeparator(pattern[split - 1])) --split;
  if (split == 0 && pattern.size() >= 2 && pattern[1] == u':') split = 2;
  const TextView folder = pattern.substr(0, split);
  const TextView name_pattern = pattern.substr(split);
  if (rules::win_wildcard::HasWildcards(folder)) throw AutomationError(ErrorNumber::kBadFileName);
  const rules::win_path::ParsedPath parsed = rules::win_path::Parse(folder.empty() ? TextView(u".") : folder);
  if (parsed.kind == rules::win_path::PathKind::kDrive && !DriveExists(folder)) {
    throw AutomationError(ErrorNumber::kPathNotFound);
  }
  if (name_pattern.empty()) return {};
  std::wstring search = folder.empty() ? std::wstring(L".\\") : NativePath(folder);
  if (!IsSeparator(search.back()) && search.back() != L':') search += L'\\';
  search += L'*';

  WIN32_FIND_DATAW entry;
  UniqueFind find(::FindFirstFileW(search.c_str(), &entry));
  if (!find.valid()) {
    const DWORD error = ::GetLastError();
    // A share that cannot be searched is a network path that is not there;
    // the system names that in more than one way (Wine: a missing folder).
    if (parsed.kind == rules::win_path::PathKind::kUnc || error == ERROR_BAD_NETPATH ||
        error == ERROR_BAD_NET_NAME) {
      throw AutomationError(ErrorNumber::kPathNotFound);
    }
    return {};  // a missing folder holds nothing to find
  }
  const uint32_t wanted = attributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
  std::vector<std::pair<Text, Text>> found;  // upper-case form, name
  do {
    const Text name = FromNative(entry.cFileName);
    if (name == u"." || name == u"..") continue;
    if (!rules::win_wildcard::Matches(name_pattern, name)) continue;
    const uint32_t kind = entry.dwFileAttributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
    if ((kind & ~wanted) != 0) continue;
    found.emplace_back(UpperCase(name), name);
  } while (::FindNextFileW(find.get(), &entry));
  std::sort(found.begin(), found.end());
  std::vector<Text> names;
  names.reserve(found.size());
  for (auto& [key, name] : found) names.push_back(std::move(name));
  return names;
}

}  // namespace kavrolin::platform::win32
