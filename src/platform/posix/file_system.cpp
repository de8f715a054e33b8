#include "platform/posix/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/automation_error.h"
#include "base/upper_case.h"
#include "platform/posix/binary_file.h"
#include "platform/posix/clock.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/unique_fd.h"
#include "rules/win_path.h"
#include "rules/win_wildcard.h"

namespace kavrolin::platform::posix {
namespace {

namespace stdfs = std::filesystem;

constexpr const char* kDosAttribute = "user.DOSATTRIB";
constexpr uint32_t kStoredAttributes = kAttrHidden | kAttrSystem | kAttrArchive;

bool IsReadOnly(const struct stat& st) { return (st.st_mode & 0222) == 0; }

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string ParentOf(const std::string& path) {
  const std::string p = WithoutTrailingSlash(path);
  const size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

// ENOENT means a missing file when the folder exists, else a missing folder.
[[noreturn]] void ThrowForPath(int err, const std::string& path) {
  if (err == ENOENT) {
    struct stat st;
    const bool parent_there = ::stat(ParentOf(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    ThrowErrno(err, parent_there ? Missing::kFile : Missing::kFolder);
  }
  ThrowErrno(err);
}

// Hidden, system and archive as stored; nullopt when nothing is stored.
std::optional<uint32_t> StoredAttributes(const std::string& path) {
  char buffer[32];
  const ssize_t n = ::getxattr(path.c_str(), kDosAttribute, buffer, sizeof buffer - 1);
  if (n <= 0) return std::nullopt;
  buffer[n] = '\0';
  char* end = nullptr;
  const unsigned long value = std::strtoul(buffer, &end, 16);
  if (end == buffer) return std::nullopt;
  return static_cast<uint32_t>(value) & kStoredAttributes;
}

uint32_t AttributesOf(const std::string& path, const struct stat& st) {
  uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
  if (IsReadOnly(st)) attributes |= kAttrReadOnly;
  if (auto stored = StoredAttributes(path)) {
    attributes |= *stored;
  } else if (!S_ISDIR(st.st_mode)) {
    attributes |= kAttrArchive;
  }
  const std::string name = stdfs::path(WithoutTrailingSlash(path)).filename().string();
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
  return attributes;
}

// True when `inner` is `outer` or lies inside it (both resolved).
bool Holds(const std::string& outer, const std::string& inner) {
  std::error_code ec1, ec2;
  const std::string o = stdfs::weakly_canonical(outer, ec1).string();
  const std::string i = stdfs::weakly_canonical(inner, ec2).string();
  if (ec1 || ec2) return true;  // cannot tell: refuse rather than risk it
  return i == o || (i.size() > o.size() && i.compare(0, o.size(), o) == 0 && i[o.size()] == '/');
}

// Walks a folder without following links; stops at the first item `visit`
// answers false for.
template <typename Visit>
bool EveryItem(const std::string& folder, Visit visit) {
  std::error_code ec;
  for (auto it = stdfs::recursive_directory_iterator(folder, ec);
       !ec && it != stdfs::recursive_directory_iterator(); it.increment(ec)) {
    if (!visit(it->path().string())) return false;
  }
  if (ec) ThrowErrno(ec.value(), Missing::kFolder);
  return true;
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) ThrowErrno(errno, Missing::kFolder);
  if (S_ISDIR(st.st_mode)) {
    // A folder without write bits cannot lose its entries for an unprivileged
    // owner: force has already allowed it, so give the bit back first.
    if ((st.st_mode & S_IWUSR) == 0) ::chmod(path.c_str(), st.st_mode | S_IWUSR | S_IXUSR);
    std::vector<std::string> children;
    std::error_code ec;
    for (auto it = stdfs::directory_iterator(path, ec); !ec && it != stdfs::directory_iterator();
         it.increment(ec)) {
      children.push_back(it->path().string());
    }
    if (ec) ThrowErrno(ec.value(), Missing::kFolder);
    for (const auto& child : children) RemoveTree(child);
    if (::rmdir(path.c_str()) != 0) ThrowErrno(errno, Missing::kFolder);
  } else if (::unlink(path.c_str()) != 0) {
    ThrowErrno(errno);
  }
}

// A new, empty file hidden in `folder`, for content that a rename then puts
// in place: the rename stays within one file system. It gets `mode` (the
// replaced file's), or without one the default permissions. `temp` receives
// its path.
UniqueFd NewFileIn(const std::string& folder, std::string& temp,
                   std::optional<mode_t> mode = std::nullopt) {
  temp = folder + "/.kavrolin-new-XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd.valid()) ThrowErrno(errno, Missing::kFolder);
  if (!mode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd.get(), *mode);
  return fd;
}

// A name a Windows path can address: the platform would strip a trailing dot
// or blank, and the rest are characters its names cannot hold.
bool AddressableName(TextView name) {
  if (name.empty() || name.back() == u'.' || name.back() == u' ') return false;
  for (char16_t c : name) {
    if (c < 0x20 || c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' ||
        c == u'"' || c == u'<' || c == u'>' || c == u'|') {
      return false;
    }
  }
  return true;
}

}  // namespace

PosixFileSystem::PosixFileSystem(std::shared_ptr<const Prefix> prefix)
    : prefix_(std::move(prefix)) {}

bool PosixFileSystem::FileExists(TextView path) {
  try {
    struct stat st;
    return ::stat(prefix_->ToHost(path).path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  } catch (const AutomationError&) {
    return false;
  }
}

bool PosixFileSystem::FolderExists(TextView path) {
  try {
    struct stat st;
    return ::stat(prefix_->ToHost(path).path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  } catch (const AutomationError&) {
    return false;
  }
}

bool PosixFileSystem::DriveExists(TextView drive) { return prefix_->DriveExists(drive); }

bool PosixFileSystem::SameFile(TextView a, TextView b) {
  try {
    struct stat sa, sb;
    return ::stat(prefix_->ToHost(a).path.c_str(), &sa) == 0 &&
           ::stat(prefix_->ToHost(b).path.c_str(), &sb) == 0 &&
           FileIdentity::Of(sa) == FileIdentity::Of(sb);
  } catch (const AutomationError&) {
    return false;
  }
}

FileFacts PosixFileSystem::Stat(TextView path) {
  const HostPath host = prefix_->ToHost(path);
  struct stat st;
  if (::stat(host.path.c_str(), &st) != 0) ThrowForPath(errno, host.path);
  FileFacts facts;
  facts.is_directory = S_ISDIR(st.st_mode);
  facts.size = facts.is_directory ? 0 : static_cast<int64_t>(st.st_size);
  facts.last_modified = LocalTimeOf(st.st_mtim.tv_sec);
  facts.attributes = AttributesOf(host.path, st);
  return facts;
}

void PosixFileSystem::SetAttributes(TextView path, uint32_t attributes) {
  const HostPath host = prefix_->ToHost(path);
  struct stat st;
  if (::stat(host.path.c_str(), &st) != 0) ThrowForPath(errno, host.path);
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & kAttrReadOnly) ? (mode & ~0222) : (IsReadOnly(st) ? mode | S_IWUSR : mode);
  if (mode != (st.st_mode & 07777) && ::chmod(host.path.c_str(), mode) != 0) ThrowErrno(errno);

  const uint32_t stored = attributes & kStoredAttributes;
  const auto current = StoredAttributes(host.path);
  if (current.value_or(S_ISDIR(st.st_mode) ? 0u : uint32_t{kAttrArchive}) == stored) return;
  char text[16];
  const int n = std::snprintf(text, sizeof text, "0x%x", stored);
  if (::setxattr(host.path.c_str(), kDosAttribute, text, static_cast<size_t>(n), 0) != 0) {
    ThrowErrno(errno);
  }
}

std::string PosixFileSystem::ReadFile(TextView path) {
  const HostPath host = prefix_->ToHost(path);
  UniqueFd fd = OpenFd(host.path.c_str(), O_RDONLY);
  if (!fd.valid()) ThrowForPath(errno, host.path);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) ThrowErrno(errno);
  if (S_ISDIR(st.st_mode)) throw AutomationError(ErrorNumber::kPermissionDenied);
  std::string bytes;
  if (!ReadAll(fd.get(), bytes, S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0)) {
    ThrowErrno(errno);
  }
  return bytes;
}

PosixFileSystem::KeptAppend PosixFileSystem::TakeKeptAppend(TextView path) {
  std::lock_guard guard(kept_mutex_);
  if (!kept_append_.fd.valid() || kept_append_.path != path) return {};
  return std::move(kept_append_);
}

void PosixFileSystem::AppendFile(TextView path, std::string_view bytes, bool sync) {
  KeptAppend target = TakeKeptAppend(path);
  struct stat locked;
  bool looked = true;  // whether `locked` is the file's status under this lock
  for (;;) {
    const bool kept = target.fd.valid();
    if (!kept) {
      target.path = Text(path);
      target.host = prefix_->ToHost(path).path;
      target.fd = OpenFd(target.host.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0666);
      if (!target.fd.valid()) ThrowForPath(errno, target.host);
    }
    if (!LockExclusive(target.fd.get())) ThrowErrno(errno);
    // A kept handle is used only while its path still names its file: as its
    // watch tells, while nothing on the way has changed, else as a look-up
    // of the path under the lock finds.
    if (kept && target.watch.Unchanged()) {
      looked = false;
      break;
    }
    if (kept ? ::stat(target.host.c_str(), &locked) == 0 &&
                   FileIdentity::Of(locked) == target.identity
             : ::fstat(target.fd.get(), &locked) == 0) {
      break;
    }
    const int err = errno;
    Unlocked(target.fd.get());
    if (!kept) ThrowErrno(err);
    target = {};
  }
  const int fd = target.fd.get();
  if (looked) {
    // A handle used once is not watched: a caller moving between files
    // would pay for a watch each line.
    if (target.identity == FileIdentity::Of(locked)) {
      target.watch = PathWatch::Of(target.host, target.identity);
    }
    target.identity = FileIdentity::Of(locked);
    target.read_only = IsReadOnly(locked);
  }
  {
    // The handle stays open, so the lock is given back by hand, failure or not.
    struct Unlock {
      int fd;
      ~Unlock() { Unlocked(fd); }
    } unlock{fd};
    // The process may be privileged; a read-only file stays unwritten anyway.
    if (target.read_only) throw AutomationError(ErrorNumber::kPermissionDenied);
    // Under the lock the end cannot move. A write that stops part-way (a full
    // disk) or a sync that fails is undone back to it: the file keeps no torn
    // record for the next one to be glued to, and no record its caller was
    // told is missing.
    size_t written = 0;
    if (!WriteAll(fd, bytes, written) || (sync && ::fdatasync(fd) != 0)) {
      const int err = errno;
      // Under the lock only this call moved the end: back by what it wrote.
      // (Each append leaves the handle's offset at the end it made, which
      // stands in should the status fail.)
      if (written > 0) {
        struct stat now;
        const off_t end = ::fstat(fd, &now) == 0 ? now.st_size : ::lseek(fd, 0, SEEK_CUR);
        if (end >= static_cast<off_t>(written)) TruncateTo(fd, end - static_cast<off_t>(written));
      }
      ThrowErrno(err);
    }
  }
  std::lock_guard guard(kept_mutex_);
  kept_append_ = std::move(target);
}

void PosixFileSystem::ReplaceFile(TextView path, std::string_view bytes, Replace mode) {
  const HostPath host = prefix_->ToHost(path);
  const std::string target = WithoutTrailingSlash(host.path);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && (S_ISDIR(old.st_mode) || IsReadOnly(old))) {
    throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  const std::string folder = ParentOf(target);
  std::string temp;
  UniqueFd fd =
      NewFileIn(folder, temp, existed ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt);
  bool done = false;
  struct Cleanup {
    const std::string& temp;
    bool& done;
    ~Cleanup() {
      if (!done) ::unlink(temp.c_str());
    }
  } cleanup{temp, done};

  if (existed) {
    if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
      // Only a privileged process can give the file back to its owner.
    }
    if (auto stored = StoredAttributes(target)) {
      char text[16];
      const int n = std::snprintf(text, sizeof text, "0x%x", *stored);
      ::fsetxattr(fd.get(), kDosAttribute, text, static_cast<size_t>(n), 0);
    }
  }
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) ThrowErrno(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) ThrowErrno(errno);
  done = true;
  if (mode == Replace::kAtomic) return;
  // The rename itself must survive a power loss too.
  UniqueFd dir = OpenFd(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir.valid()) ::fsync(dir.get());
}

void PosixFileSystem::CreateDirectory(TextView path) {
  const HostPath host = prefix_->ToHost(path);
  if (host.is_root) throw AutomationError(ErrorNumber::kPathFileAccess);
  if (::mkdir(host.path.c_str(), 0777) == 0) return;
  const int err = errno;
  if (err == EEXIST) throw AutomationError(ErrorNumber::kPathFileAccess);
  ThrowErrno(err, Missing::kFolder);
}

void PosixFileSystem::DeleteFile(TextView path, bool force) {
  const HostPath host = prefix_->ToHost(path);
  if (!host.path.empty() && host.path.back() == '/') {
    throw AutomationError(ErrorNumber::kFileNotFound);
  }
  struct stat link;
  if (::lstat(host.path.c_str(), &link) != 0) ThrowForPath(errno, host.path);
  struct stat st = link;
  if (S_ISLNK(link.st_mode)) ::stat(host.path.c_str(), &st);  // a dangling link is just a file
  if (S_ISDIR(st.st_mode)) throw AutomationError(ErrorNumber::kFileNotFound);
  if (IsReadOnly(st) && !force) throw AutomationError(ErrorNumber::kPermissionDenied);
  if (::unlink(host.path.c_str()) != 0) ThrowErrno(errno);
}

void PosixFileSystem::DeleteFolder(TextView path, bool force) {
  const HostPath host = prefix_->ToHost(path);
  if (host.is_root) throw AutomationError(ErrorNumber::kPermissionDenied);
  const std::string folder = WithoutTrailingSlash(host.path);
  struct stat st;
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    throw AutomationError(ErrorNumber::kPathNotFound);
  }
  // A folder in use as the current folder is refused, as the platform refuses
  // it; so is the folder that holds the prefix, which is the whole machine.
  std::error_code ec;
  const std::string cwd = stdfs::current_path(ec).string();
  if (ec || Holds(folder, cwd) || Holds(folder, prefix_->root().string())) {
    throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  if (!force) {
    bool any_read_only = IsReadOnly(st);
    if (!any_read_only) {
      EveryItem(folder, [&](const std::string& item) {
        struct stat s;
        any_read_only = ::lstat(item.c_str(), &s) == 0 && !S_ISLNK(s.st_mode) && IsReadOnly(s);
        return !any_read_only;
      });
    }
    if (any_read_only) throw AutomationError(ErrorNumber::kPermissionDenied);
  }
  RemoveTree(folder);
}

Text PosixFileSystem::GetSpecialFolder(int32_t which) {
  switch (static_cast<SpecialFolder>(which)) {
    case SpecialFolder::kWindows:
    case SpecialFolder::kSystem: {
      const Text windows = u"C:\\windows";
      const Text folder = which == 0 ? windows : windows + u"\\system32";
      std::error_code ec;
      stdfs::create_directories(prefix_->ToHost(folder).path, ec);
      if (ec) ThrowErrno(ec.value(), Missing::kFolder);
      return folder;
    }
    case SpecialFolder::kTemporary: {
      const char* tmp = std::getenv("TMPDIR");
      return prefix_->ToWindows(tmp && *tmp ? tmp : "/tmp");
    }
  }
  throw AutomationError(ErrorNumber::kInvalidCall);
}

std::unique_ptr<BinaryFile> PosixFileSystem::OpenBinary(TextView path, BinaryAccess access) {
  const HostPath host = prefix_->ToHost(path);
  // A path ending in a separator names a folder, whatever is there.
  if (host.is_root || (!host.path.empty() && host.path.back() == '/')) {
    throw AutomationError(ErrorNumber::kPathFileAccess);
  }
  struct stat st;
  const bool exists = ::stat(host.path.c_str(), &st) == 0;
  // Folders, and devices and pipes, which have no end to read to and must
  // never be renamed over.
  if (exists && !S_ISREG(st.st_mode)) throw AutomationError(ErrorNumber::kPathFileAccess);
  if (access == BinaryAccess::kRead) {
    UniqueFd fd = OpenFd(host.path.c_str(), O_RDONLY);
    if (!fd.valid()) ThrowForPath(errno, host.path);
    return std::make_unique<PosixBinaryFile>(std::move(fd));
  }
  // The process may be privileged; a read-only file stays unreplaced anyway.
  if (exists && IsReadOnly(st)) throw AutomationError(ErrorNumber::kPermissionDenied);
  std::string temp;
  UniqueFd fd = NewFileIn(ParentOf(host.path), temp);
  return std::make_unique<PosixBinaryFile>(std::move(fd), std::move(temp), host.path);
}

std::vector<Text> PosixFileSystem::FindFiles(TextView pattern, uint32_t attributes) {
  // The folder part ends at the last separator, or after "X:" without one.
  size_t split = pattern.size();
  while (split > 0 && !rules::win_path::IsSeparator(pattern[split - 1])) --split;
  if (split == 0 && pattern.size() >= 2 && pattern[1] == u':') split = 2;
  const TextView folder = pattern.substr(0, split);
  const TextView name_pattern = pattern.substr(split);
  if (rules::win_wildcard::HasWildcards(folder)) throw AutomationError(ErrorNumber::kBadFileName);
  const HostPath host = prefix_->ToHost(folder.empty() ? TextView(u".") : folder);
  if (name_pattern.empty()) return {};

  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(host.path.c_str()), ::closedir);
  if (!dir) return {};  // a missing folder holds nothing to find
  const std::string base = WithoutTrailingSlash(host.path) + "/";
  const uint32_t wanted = attributes & (kAttrHidden | kAttrSystem | kAttrDirectory);
  std::vector<std::pair<Text, Text>> found;  // upper-case form, name
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string host_name = entry->d_name;
    if (host_name == "." || host_name == "..") continue;
    const Text name = FromUtf8(host_name);
    // A host name that is not UTF-8 has no Windows form that leads back to it.
    if (ToUtf8(name) != host_name) continue;
    if (!AddressableName(name) || !rules::win_wildcard::Matches(name_pattern, name)) continue;
    const std::string item = base + host_name;
    struct stat st;
    if (::stat(item.c_str(), &st) != 0 && ::lstat(item.c_str(), &st) != 0) continue;
    const uint32_t kind = AttributesOf(item, st) & (kAttrHidden | kAttrSystem | kAttrDirectory);
    if ((kind & ~wanted) != 0) continue;
    found.emplace_back(UpperCase(name), name);
  }
  std::sort(found.begin(), found.end());
  std::vector<Text> names;
  names.reserve(found.size());
  for (auto& [key, name] : found) names.push_back(std::move(name));
  return names;
}

}  // namespace kavrolin::platform::posix
