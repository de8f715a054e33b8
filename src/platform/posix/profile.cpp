#include "platform/posix/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <optional>

#include "base/ansi.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {
namespace {

// What a parsed file can hold (its offsets are 32-bit).
constexpr off_t kMaxFileBytes = static_cast<off_t>(rules::ini::IniText::kMaxBytes);
// Larger files are read on every call rather than kept.
constexpr off_t kMaxKeptBytes = 16 << 20;
// A file modified this recently may change again within the same clock tick.
constexpr int64_t kTrustAfterNs = 2'000'000'000;
// Every retry means another writer replaced the file in between, so progress
// is made; the bound only guards against a file system that never settles.
constexpr int kMaxLockAttempts = 10000;

int64_t Nanoseconds(const timespec& t) {
  return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

// Adds `kept` to `kept_ones`, in place of the one used longest ago once there
// are `capacity` of them.
template <typename Kept>
void KeepWithin(std::vector<Kept>& kept_ones, size_t capacity, Kept kept) {
  if (kept_ones.size() < capacity) {
    kept_ones.push_back(std::move(kept));
    return;
  }
  auto oldest = kept_ones.begin();
  for (auto it = kept_ones.begin(); it != kept_ones.end(); ++it) {
    if (it->last_use < oldest->last_use) oldest = it;
  }
  *oldest = std::move(kept);
}

// The file's Windows path, a bare name placed in the Windows folder; nullopt
// for an empty name.
std::optional<Text> WindowsPath(TextView file, bool* bare) {
  *bare = false;
  if (file.empty()) return std::nullopt;
  if (file.find_first_of(u"\\/:") == TextView::npos) {
    *bare = true;
    return Text(u"C:\\windows\\") + Text(file);
  }
  return Text(file);
}

// The file cannot be written: no write bits (which even a privileged process
// respects, as the platform does), or no write permission for this process.
bool IsUnwritable(const std::string& path, const struct stat& st) {
  if ((st.st_mode & 0222) == 0) return true;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

}  // namespace

ProfileCache::ProfileCache(size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}

ProfileCache::Identity ProfileCache::IdentityOf(const struct stat& st) {
  Identity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.modified_ns = Nanoseconds(st.st_mtim);
  id.changed_ns = Nanoseconds(st.st_ctim);
  return id;
}

uint64_t ProfileCache::parses() const {
  std::lock_guard lock(mutex_);
  return parses_;
}

std::shared_ptr<const rules::ini::IniText> ProfileCache::ForWrite(const std::string& host_path,
                                                                  std::string bytes,
                                                                  int code_page) {
  {
    std::lock_guard lock(mutex_);
    const auto same = [&](const std::shared_ptr<const rules::ini::IniText>& text) {
      return text->code_page() == code_page && text->bytes() == bytes;
    };
    for (Written& kept : written_) {
      if (kept.path == host_path && same(kept.text)) {
        kept.last_use = ++uses_;
        return kept.text;
      }
    }
    for (const Entry& entry : entries_) {
      if (entry.path == host_path && same(entry.text)) return entry.text;
    }
    ++write_parses_;
  }
  return std::make_shared<const rules::ini::IniText>(std::move(bytes), code_page);
}

void ProfileCache::Wrote(const std::string& host_path,
                         std::shared_ptr<const rules::ini::IniText> text) {
  if (text->bytes().size() > static_cast<size_t>(kMaxKeptBytes)) text = nullptr;
  std::lock_guard lock(mutex_);
  for (auto it = written_.begin(); it != written_.end(); ++it) {
    if (it->path != host_path) continue;
    if (!text) {
      written_.erase(it);
    } else {
      it->text = std::move(text);
      it->last_use = ++uses_;
    }
    return;
  }
  if (!text) return;
  KeepWithin(written_, capacity_, Written{host_path, std::move(text), ++uses_});
}

uint64_t ProfileCache::write_parses() const {
  std::lock_guard lock(mutex_);
  return write_parses_;
}

std::shared_ptr<const rules::ini::IniText> ProfileCache::Find(TextView name, int code_page) {
  if (name.empty()) return nullptr;
  std::string path;
  {
    std::lock_guard lock(mutex_);
    for (const Entry& entry : entries_) {
      if (entry.name == name && entry.code_page == code_page) path = entry.path;
    }
  }
  if (path.empty()) return nullptr;
  // Load checks the kept file's identity against the disk, as for any read.
  return Load(path, code_page, name);
}

std::shared_ptr<const rules::ini::IniText> ProfileCache::Load(const std::string& host_path,
                                                       int code_page, TextView name) {
  struct stat st;
  const bool there = ::stat(host_path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->path != host_path) continue;
      if (there && it->code_page == code_page && it->identity == IdentityOf(st)) {
        it->last_use = ++uses_;
        if (!name.empty()) it->name = Text(name);
        return it->text;
      }
      entries_.erase(it);
      break;
    }
    if (!there) return nullptr;
    ++parses_;
  }

  // Taken before reading: a modification after this instant shows in the
  // identity, one before it is what we read.
  const int64_t started = NowNs();
  UniqueFd fd = OpenFd(host_path.c_str(), O_RDONLY);
  if (!fd.valid()) return nullptr;
  struct stat before;
  if (::fstat(fd.get(), &before) != 0 || !S_ISREG(before.st_mode) ||
      before.st_size > kMaxFileBytes) {
    return nullptr;
  }
  std::string bytes;
  if (!ReadAll(fd.get(), bytes, static_cast<size_t>(before.st_size)) ||
      bytes.size() > static_cast<size_t>(kMaxFileBytes)) {
    return nullptr;
  }
  struct stat after;
  const bool settled = ::fstat(fd.get(), &after) == 0 && IdentityOf(after) == IdentityOf(before);
  auto text = std::make_shared<const rules::ini::IniText>(std::move(bytes), code_page);

  const int64_t modified = Nanoseconds(before.st_mtim);
  if (!settled || started - modified < kTrustAfterNs || before.st_size > kMaxKeptBytes) {
    return text;
  }

  std::lock_guard lock(mutex_);
  for (const Entry& entry : entries_) {
    if (entry.path == host_path) return text;  // another thread keeps it already
  }
  Entry entry{host_path, Text(name), code_page, IdentityOf(before), text, ++uses_};
  KeepWithin(entries_, capacity_, std::move(entry));
  return text;
}

std::shared_ptr<ProfileCache> ProcessProfileCache() {
  static const auto cache = std::make_shared<ProfileCache>();
  return cache;
}

PosixProfile::PosixProfile(std::shared_ptr<const Prefix> prefix,
                           std::shared_ptr<FileSystem> files,
                           std::shared_ptr<ProfileCache> cache)
    : prefix_(std::move(prefix)), files_(std::move(files)), cache_(std::move(cache)) {}

uint32_t PosixProfile::GetString(const char* section, const char* key,
                                 const char* default_value, char* buffer, uint32_t size,
                                 TextView file) {
  if (buffer == nullptr || size == 0) return 0;
  std::shared_ptr<const rules::ini::IniText> text;
  try {
    bool bare = false;
    const int code_page = AnsiCodec::System().code_page();
    // A file read before under the same name needs no fresh mapping.
    text = cache_->Find(file, code_page);
    if (!text) {
      if (const auto windows = WindowsPath(file, &bare)) {
        text = cache_->Load(prefix_->ToHost(*windows).path, code_page, file);
      }
    }
  } catch (...) {
    // A path the prefix cannot map, or no memory for the file: as missing.
    text = nullptr;
  }
  try {
    return rules::ini::AnswerGetString(text.get(), section, key, default_value, buffer, size);
  } catch (...) {
    return rules::ini::AnswerGetString(nullptr, section, key, default_value, buffer, size);
  }
}

bool PosixProfile::WriteString(const char* section, const char* key, const char* value,
                               TextView file) {
  return Modify(file, [&](const rules::ini::IniText& text) {
    return rules::ini::EditForWriteString(text, section, key, value);
  });
}

bool PosixProfile::WriteSection(const char* section, const char* entries, TextView file) {
  return Modify(file, [&](const rules::ini::IniText& text) {
    return rules::ini::EditForWriteSection(text, section, entries);
  });
}

bool PosixProfile::Rewrite(TextView file, const RewriteEdit& edit) {
  return Modify(file, [&](const rules::ini::IniText& text) {
    rules::ini::Edit result;
    // A missing file reads as empty here: neither is rewritten.
    std::optional<std::string> bytes;
    if (!text.bytes().empty()) bytes = edit(text.bytes());
    if (!bytes) {
      result.outcome = rules::ini::Edit::Outcome::kRefused;
    } else if (*bytes != text.bytes()) {
      result.outcome = rules::ini::Edit::Outcome::kChanged;
      result.bytes = std::move(*bytes);
    }
    return result;
  });
}

template <typename MakeEdit>
bool PosixProfile::Modify(TextView file, const MakeEdit& make_edit) {
  using Outcome = rules::ini::Edit::Outcome;
  try {
    bool bare = false;
    const auto windows = WindowsPath(file, &bare);
    if (!windows) return false;
    // The platform always has its Windows folder; the file layer makes it.
    if (bare) files_->GetSpecialFolder(static_cast<int32_t>(SpecialFolder::kWindows));
    const std::string path = prefix_->ToHost(*windows).path;
    const int code_page = AnsiCodec::System().code_page();

    for (int attempt = 0; attempt < kMaxLockAttempts; ++attempt) {
      UniqueFd fd = OpenFd(path.c_str(), O_RDONLY);
      if (!fd.valid()) {
        if (errno != ENOENT) return false;
        // Nothing to delete in a missing file: no file is made for it.
        const rules::ini::Edit edit = make_edit(rules::ini::IniText(std::string(), code_page));
        if (edit.outcome != Outcome::kChanged) return edit.outcome == Outcome::kUnchanged;
        fd = OpenFd(path.c_str(), O_RDONLY | O_CREAT, 0666);
        if (!fd.valid()) return false;  // a missing folder is not made
      }
      struct stat locked;
      if (::fstat(fd.get(), &locked) != 0 || !S_ISREG(locked.st_mode)) return false;
      if (!LockExclusive(fd.get())) return false;

      // Another writer may have renamed its new file over the path while we
      // waited: then this lock guards nothing.
      struct stat current;
      if (::stat(path.c_str(), &current) != 0 || current.st_dev != locked.st_dev ||
          current.st_ino != locked.st_ino) {
        continue;
      }
      if (IsUnwritable(path, current) || current.st_size > kMaxFileBytes) return false;
      std::string bytes;
      if (!ReadAll(fd.get(), bytes, static_cast<size_t>(current.st_size)) || bytes.size() > static_cast<size_t>(kMaxFileBytes)) {
        return false;
      }
      const std::shared_ptr<const rules::ini::IniText> text =
          cache_->ForWrite(path, std::move(bytes), code_page);
      rules::ini::Edit edit = make_edit(*text);
      if (edit.outcome != Outcome::kChanged) return edit.outcome == Outcome::kUnchanged;
      // Still under the lock: the next writer reads this file's successor.
      files_->ReplaceFile(*windows, edit.bytes, FileSystem::Replace::kAtomic);
      try {
        // The next write of this file by this process then parses nothing.
        cache_->Wrote(path, rules::ini::IniText::Edited(*text, std::move(edit.bytes)));
      } catch (...) {
        // The file is written; what is not kept is parsed on the next write.
      }
      return true;
    }
    return false;
  } catch (...) {
    // AutomationError from the prefix or the replace, or no memory.
    return false;
  }
}

}  // namespace kavrolin::platform::posix
