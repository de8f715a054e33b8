#include "platform/win32/profile.h"

#include "platform/win32/windows_api.h"

#include <algorithm>
#include <string>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "base/upper_case.h"
#include "platform/win32/native_path.h"
#include "platform/win32/unique_handle.h"
#include "rules/win_path.h"

namespace kavrolin::platform::win32 {
namespace {

// The file as the profile functions place it: a bare name lies in the
// Windows folder.
std::wstring ProfilePath(TextView file) {
  const rules::win_path::ParsedPath parsed = rules::win_path::Parse(file);
  if (parsed.kind == rules::win_path::PathKind::kRelative && parsed.components.size() == 1) {
    wchar_t windows[MAX_PATH];
    const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      std::wstring path(windows, n);
      if (path.back() != L'\\') path += L'\\';
      return path + NativePath(file);
    }
  }
  return FullPath(file);
}

// The lock of one profile file, held while this service writes it.
class FileLock {
 public:
  explicit FileLock(TextView file) {
    // Named after the upper-case full path (backslashes are not allowed in
    // the name; a hash keeps it short).
    const Text key = UpperCase(FromNative(ProfilePath(file)));
    uint64_t hash = 1469598103934665603ull;
    for (char16_t c : key) hash = (hash ^ c) * 1099511628211ull;
    const std::wstring name = L"Local\\kavrolin-profile-" + std::to_wstring(hash);
    mutex_ = UniqueHandle(::CreateMutexW(nullptr, FALSE, name.c_str()));
    if (mutex_.valid()) {
      const DWORD waited = ::WaitForSingleObject(mutex_.get(), INFINITE);
      held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
  }
  ~FileLock() {
    if (held_) ::ReleaseMutex(mutex_.get());
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  UniqueHandle mutex_;
  bool held_ = false;
};

// The file name for the A functions; nothing when it names nothing.
bool AnsiName(TextView file, std::string& name) {
  if (file.empty()) return false;
  name = ToAnsi(file);
  return true;
}

}  // namespace

uint32_t Win32Profile::GetString(const char* section, const char* key, const char* default_value,
                                 char* buffer, uint32_t size, TextView file) {
  std::string name;
  if (!AnsiName(file, name)) {
    // The platform's answer for a file it cannot open: the default, cut to
    // size, or an empty list.
    if (buffer == nullptr || size == 0) return 0;
    const std::string value = section != nullptr && key != nullptr && default_value != nullptr
                                  ? std::string(default_value)
                                  : std::string();
    const size_t n = std::min<size_t>(value.size(), size - 1);
    value.copy(buffer, n);
    buffer[n] = '\0';
    if (n + 1 < size && (section == nullptr || key == nullptr)) buffer[n + 1] = '\0';
    return static_cast<uint32_t>(n);
  }
  const DWORD copied = ::GetPrivateProfileStringA(section, key, default_value, buffer, size, name.c_str());
  // A list cut to the buffer ends in two zeros; Wine's A function leaves the
  // last byte as it was.
  if ((section == nullptr || key == nullptr) && buffer != nullptr && size >= 2 && copied == size - 2) {
    buffer[size - 1] = '\0';
  }
  return copied;
}

bool Win32Profile::WriteString(const char* section, const char* key, const char* value,
                               TextView file) {
  std::string name;
  if (!AnsiName(file, name)) return false;
  try {
    FileLock lock(file);
    return ::WritePrivateProfileStringA(section, key, value, name.c_str()) != FALSE;
  } catch (const AutomationError&) {
    return false;
  }
}

bool Win32Profile::WriteSection(const char* section, const char* entries, TextView file) {
  std::string name;
  if (!AnsiName(file, name)) return false;
  try {
    FileLock lock(file);
    return ::WritePrivateProfileSectionA(section, entries, name.c_str()) != FALSE;
  } catch (const AutomationError&) {
    return false;
  }
}

bool Win32Profile::Rewrite(TextView file, const RewriteEdit& edit) {
  try {
    const std::wstring path = ProfilePath(file);
    const Text target = FromNative(path);
    FileLock lock(file);
    if (!files_->FileExists(target)) return false;
    const std::string bytes = files_->ReadFile(target);
    if (bytes.empty()) return false;
    const std::optional<std::string> edited = edit(bytes);
    if (!edited) return false;
    files_->ReplaceFile(target, *edited, FileSystem::Replace::kAtomic);
    return true;
  } catch (const AutomationError&) {
    return false;
  }
}

}  // namespace kavrolin::platform::win32
