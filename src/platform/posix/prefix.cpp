#include "platform/posix/prefix.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "base/automation_error.h"
#include "rules/win_path.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// The entry of `folder` whose name matches `name`: the exact one when it
// exists, else the first that differs only in letter case; empty when none.
std::string FindEntry(const std::string& folder, const std::string& name) {
  struct stat st;
  if (::lstat((folder + "/" + name).c_str(), &st) == 0) return name;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return {};
  while (const dirent* entry = ::readdir(dir.get())) {
    if (SameIgnoringAsciiCase(entry->d_name, name)) return entry->d_name;
  }
  return {};
}

// The real form of `absolute`: the longest leading part that resolves, with
// the rest appended as written. The parts that do not resolve are not only
// missing ones: a name longer than the platform can hold fails its look-up
// as well, and must not keep a drive's link unresolved in front of it (the
// path would then fall outside its drive).
fs::path ResolveLeading(const fs::path& absolute) {
  std::error_code ec;
  for (fs::path head = absolute; head.has_relative_path(); head = head.parent_path()) {
    const fs::path resolved = fs::canonical(head, ec);
    if (!ec) return (resolved / absolute.lexically_relative(head)).lexically_normal();
  }
  return absolute.lexically_normal();
}

std::string CurrentFolder() {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return ec ? std::string("/") : cwd.string();
}

}  // namespace

Prefix::Prefix(fs::path root) : root_(std::move(root)) {}

fs::path Prefix::DefaultRoot() {
  if (const char* p = std::getenv("KAVROLIN_PREFIX"); p && *p) return fs::path(p);
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    const passwd* pw = ::getpwuid(::getuid());
    home = pw ? pw->pw_dir : "/tmp";
  }
  return fs::path(home) / ".kavrolin";
}

void Prefix::EnsureLayout() const {
  if (ensured_.load(std::memory_order_acquire)) return;
  const fs::path devices = root_ / "dosdevices";
  std::error_code ec;
  if (!fs::exists(devices, ec)) {
    fs::create_directories(root_, ec);
    // Several processes may make the layout at once: each step tolerates
    // finding the other's work done.
    ::mkdir((root_ / "drive_c").c_str(), 0755);
    ::mkdir(devices.c_str(), 0755);
    ::symlink("../drive_c", (devices / "c:").c_str());
    ::symlink("/", (devices / "z:").c_str());
  }
  ensured_.store(true, std::memory_order_release);
}

std::string Prefix::DriveLink(char16_t letter) const {
  std::string link = (root_ / "dosdevices").string();
  link += '/';
  link += static_cast<char>(AsciiLower(letter));
  link += ':';
  return link;
}

bool Prefix::DriveExists(TextView drive) const {
  if (drive.empty()) return false;
  const char16_t letter = AsciiUpper(drive[0]);
  if (letter < u'A' || letter > u'Z') return false;
  if (drive.size() > 1 && drive[1] != u':') return false;
  EnsureLayout();
  struct stat st;
  return ::stat(DriveLink(letter).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

HostPath Prefix::ToHost(TextView windows_path) const {
  const rules::win_path::ParsedPath parsed = rules::win_path::Parse(windows_path);
  if (!parsed.valid_names) throw AutomationError(ErrorNumber::kBadFileName);
  HostPath out;
  std::string base;
  bool check_drive = false;
  switch (parsed.kind) {
    case rules::win_path::PathKind::kEmpty:
      // Names nothing; never the current folder.
      throw AutomationError(ErrorNumber::kPathNotFound);
    case rules::win_path::PathKind::kHost:
      out.path = ToUtf8(windows_path);
      out.is_root = parsed.components.empty();
      return out;
    case rules::win_path::PathKind::kUnc:
      throw AutomationError(ErrorNumber::kPathNotFound);
    case rules::win_path::PathKind::kDrive:
      EnsureLayout();
      base = DriveLink(parsed.drive);
      check_drive = true;
      break;
    case rules::win_path::PathKind::kRooted: {
      const Text cwd = ToWindows(CurrentFolder());
      EnsureLayout();
      base = DriveLink(cwd.empty() ? u'Z' : cwd[0]);
      break;
    }
    case rules::win_path::PathKind::kRelative:
      base = CurrentFolder();
      break;
  }
  out.is_root = parsed.components.empty() && parsed.kind != rules::win_path::PathKind::kRelative;
  std::string exact = base;
  for (const Text& component : parsed.components) {
    exact += '/';
    exact += ToUtf8(component);
  }
  // Most paths are written as they stand on disk: one lstat settles them.
  struct stat st;
  const bool there = parsed.components.empty() ? ::stat(exact.c_str(), &st) == 0
                                               : ::lstat(exact.c_str(), &st) == 0;
  if (!there) {
    // The drive is looked at only when the path is not there as written.
    if (check_drive && ::stat(base.c_str(), &st) != 0) {
      throw AutomationError(ErrorNumber::kPathNotFound);
    }
    bool matching = true;  // once a component is missing, nothing below it exists
    for (const Text& component : parsed.components) {
      std::string name = ToUtf8(component);
      if (matching) {
        std::string found = FindEntry(base, name);
        if (found.empty()) matching = false;
        else name = std::move(found);
      }
      base += '/';
      base += name;
    }
  } else {
    base = std::move(exact);
  }
  if (parsed.trailing_separator || out.is_root) base += '/';
  out.path = std::move(base);
  return out;
}

Text Prefix::ToWindows(const fs::path& host_path) const {
  std::error_code ec;
  fs::path absolute = host_path.is_absolute() ? host_path : fs::path(CurrentFolder()) / host_path;
  std::string host = ResolveLeading(absolute).string();
  while (host.size() > 1 && host.back() == '/') host.pop_back();

  EnsureLayout();
  char best_letter = 0;
  size_t best_length = 0;
  for (const auto& entry : fs::directory_iterator(root_ / "dosdevices", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z') continue;
    std::error_code link_ec;
    const std::string t = fs::canonical(entry.path(), link_ec).string();
    if (link_ec) continue;
    const bool inside = t == "/" || host == t ||
                        (host.size() > t.size() && host.compare(0, t.size(), t) == 0 &&
                         host[t.size()] == '/');
    const size_t length = t == "/" ? 0 : t.size();
    if (inside && (best_letter == 0 || length > best_length ||
                   (length == best_length && name[0] < best_letter))) {
      best_letter = name[0];
      best_length = length;
    }
  }
  // A path outside every drive still answers in Windows form.
  if (best_letter == 0) best_letter = 'z';

  std::string rest = host.substr(best_length);
  Text out;
  out.push_back(static_cast<char16_t>(best_letter - 32));
  out += u":\\";
  Text tail = FromUtf8(rest);
  size_t start = 0;
  while (start < tail.size() && tail[start] == u'/') ++start;
  for (size_t i = start; i < tail.size(); ++i) out.push_back(tail[i] == u'/' ? u'\\' : tail[i]);
  return out;
}

}  // namespace kavrolin::platform::posix
