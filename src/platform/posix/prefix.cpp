#include "platform/posix/prefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <climits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "base/automation_error.h"
#include "platform/posix/file_identity.h"
#include "rules/win_path.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

using Identity = FileIdentity;

// One component of a host path as resolved: its name, and for a component
// that exists its identity.
struct Part {
  std::string name;
  std::optional<Identity> identity;
  bool is_folder = false;
};

// The host's real form of an absolute path, each component with the identity
// of the folder or file it names: the longest leading part that resolves
// (links followed, ".." taken physically), with the rest appended as written
// and ".." there taken lexically. The parts that do not resolve are not only
// missing ones: a name longer than the platform can hold fails its look-up
// as well, and must not keep a drive's link unresolved in front of it (the
// path would then fall outside its drive).
class Resolution {
 public:
  explicit Resolution(const std::string& absolute) {
    const std::vector<std::string> names = Split(absolute);
    size_t i = 0;
    for (; i < names.size(); ++i) {
      int links_left = kMaxLinks;
      if (!Step(names[i], links_left, true)) break;
    }
    for (; i < names.size(); ++i) Lexical(names[i]);
  }

  const std::vector<Part>& parts() const { return parts_; }

 private:
  static constexpr int kMaxLinks = 40;  // as the kernel allows

  static std::vector<std::string> Split(std::string_view path) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
      size_t end = path.find('/', start);
      if (end == std::string_view::npos) end = path.size();
      if (end > start) names.emplace_back(path.substr(start, end - start));
      start = end + 1;
    }
    return names;
  }

  std::string Joined(std::string_view name) const {
    std::string path;
    for (const Part& part : parts_) {
      path += '/';
      path += part.name;
    }
    path += '/';
    path += name;
    return path;
  }

  void Lexical(const std::string& name) {
    if (name == ".") return;
    if (name == "..") {
      if (!parts_.empty()) parts_.pop_back();
      return;
    }
    parts_.push_back({name, std::nullopt, false});
  }

  // One component; `whole` for a component of the path as written, which
  // leaves the parts as they were when it does not resolve.
  bool Step(const std::string& name, int& links_left, bool whole) {
    if (name == ".") return true;
    // Nothing lies below a file.
    if (!parts_.empty() && !parts_.back().is_folder) return false;
    if (name == "..") {
      if (!parts_.empty()) parts_.pop_back();
      return true;
    }
    const std::string path = Joined(name);
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISLNK(st.st_mode)) {
      parts_.push_back({name, FileIdentity::Of(st), S_ISDIR(st.st_mode)});
      return true;
    }
    if (--links_left < 0) return false;
    if (whole) {
      const std::vector<Part> before = parts_;
      if (Link(path, st, links_left)) return true;
      parts_ = before;
      return false;
    }
    return Link(path, st, links_left);
  }

  bool Link(const std::string& path, const struct stat& st, int& links_left) {
    std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) > target.size()) return false;
    target.resize(static_cast<size_t>(n));
    if (target.front() == '/') parts_.clear();
    for (const std::string& part : Split(target)) {
      if (!Step(part, links_left, false)) return false;
    }
    return true;
  }

  std::vector<Part> parts_;
};

// The identity of the host root, which never changes.
std::optional<Identity> RootIdentity() {
  static const std::optional<Identity> root = []() -> std::optional<Identity> {
    struct stat st;
    if (::stat("/", &st) != 0) return std::nullopt;
    return FileIdentity::Of(st);
  }();
  return root;
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
  std::vector<std::string> names;
  names.reserve(parsed.components.size());
  for (const Text& component : parsed.components) names.push_back(ToUtf8(component));
  // Most paths are written as they stand on disk: one lstat settles them. It
  // is skipped when the folders' kept listings say a name differs.
  std::string exact = base;
  bool worth_trying = true;
  for (const std::string& name : names) {
    const std::optional<bool> known =
        worth_trying ? listings_.KnownExact(exact, name) : std::optional<bool>(true);
    if (known && !*known) worth_trying = false;
    exact += '/';
    exact += name;
  }
  if (worth_trying) {
    struct stat st;
    const bool there = names.empty() ? ::stat(exact.c_str(), &st) == 0
                                     : ::lstat(exact.c_str(), &st) == 0;
    if (there) {
      if (parsed.trailing_separator || out.is_root) exact += '/';
      out.path = std::move(exact);
      return out;
    }
    // The drive is looked at only when the path is not there as written.
    if (names.empty() && check_drive) throw AutomationError(ErrorNumber::kPathNotFound);
  }
  bool matching = true;  // once a component is missing, nothing below it exists
  for (size_t i = 0; i < names.size(); ++i) {
    if (matching) {
      const FolderListings::Match found = listings_.Find(base, parsed.components[i], names[i]);
      if (found.status == FolderListings::Status::kNoFolder && i == 0 && check_drive) {
        throw AutomationError(ErrorNumber::kPathNotFound);
      }
      if (found.status == FolderListings::Status::kExact ||
          found.status == FolderListings::Status::kOtherCase) {
        names[i] = found.name;
      } else {
        matching = false;
      }
    }
    base += '/';
    base += names[i];
  }
  if (parsed.trailing_separator || out.is_root) base += '/';
  out.path = std::move(base);
  return out;
}

std::shared_ptr<const Prefix::DriveLinks> Prefix::CurrentDriveLinks() const {
  const std::string devices = (root_ / "dosdevices").string();
  std::shared_ptr<const FolderListings::Listing> listing = listings_.Get(devices);
  if (!listing) return nullptr;
  {
    const std::lock_guard lock(drive_links_mutex_);
    if (drive_links_ && drive_links_->listing == listing) return drive_links_;
  }
  auto links = std::make_shared<DriveLinks>();
  for (const std::string& name : listing->names) {
    if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z') continue;
    char text[PATH_MAX];
    const ssize_t n = ::readlink((devices + "/" + name).c_str(), text, sizeof text);
    links->links.push_back({name[0], n > 0 ? std::string(text, static_cast<size_t>(n)) : ""});
  }
  links->listing = std::move(listing);
  const std::lock_guard lock(drive_links_mutex_);
  drive_links_ = links;
  return links;
}

Text Prefix::ToWindows(const fs::path& host_path) const {
  const std::string absolute =
      host_path.is_absolute() ? host_path.string() : CurrentFolder() + "/" + host_path.string();
  const Resolution resolution(absolute);
  const std::vector<Part>& parts = resolution.parts();

  // The drive whose folder is the deepest one the path passes through; of
  // drives on one folder, the first letter.
  EnsureLayout();
  const std::string devices = (root_ / "dosdevices").string();
  std::vector<std::pair<Identity, char>> drives;
  if (const std::shared_ptr<const DriveLinks> links = CurrentDriveLinks()) {
    for (const auto& [letter, text] : links->links) {
      // A link to the host root needs no look: the root never changes.
      if (text == "/" && RootIdentity()) {
        drives.push_back({*RootIdentity(), letter});
        continue;
      }
      struct stat st;
      const std::string link = devices + "/" + letter + ":";
      if (::stat(link.c_str(), &st) == 0) drives.push_back({FileIdentity::Of(st), letter});
    }
  }
  auto letter_of = [&drives](const std::optional<Identity>& identity) -> char {
    char best = 0;
    if (!identity) return best;
    for (const auto& [drive, letter] : drives) {
      if (drive == *identity && (best == 0 || letter < best)) best = letter;
    }
    return best;
  };
  char letter = 0;
  size_t depth = parts.size();
  for (; depth > 0 && letter == 0; --depth) letter = letter_of(parts[depth - 1].identity);
  if (letter != 0) {
    ++depth;
  } else {
    letter = letter_of(RootIdentity());
  }
  // A path outside every drive still answers in Windows form.
  if (letter == 0) letter = 'z';

  Text out;
  out.push_back(static_cast<char16_t>(letter - 32));
  out += u":\\";
  for (size_t i = depth; i < parts.size(); ++i) {
    if (i > depth) out.push_back(u'\\');
    out += FromUtf8(parts[i].name);
  }
  return out;
}

}  // namespace kavrolin::platform::posix
