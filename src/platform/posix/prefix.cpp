#include "platform/posix/prefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <climits>
#include <memory>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/automation_error.h"
#include "platform/posix/file_identity.h"
#include "rules/win_path.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

using Identity = FileIdentity;

// The names of a path's components, empty ones skipped.
std::vector<std::string_view> SplitNames(std::string_view path) {
  std::vector<std::string_view> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// Where the link `name` of dosdevices/ (whose components are `devices`, a real
// folder) leads by its `text` alone ("" for a folder of its own), and how many
// components that is; ("", 0) when the text alone cannot say: only its first
// step may climb, and only out of dosdevices/.
std::pair<std::string, size_t> LexicalTarget(std::vector<std::string_view> names,
                                             std::string_view name, std::string_view text) {
  if (text.empty()) {
    names.push_back(name);
  } else {
    if (text.front() == '/') names.clear();
    const std::vector<std::string_view> steps = SplitNames(text);
    for (size_t i = 0; i < steps.size(); ++i) {
      if (steps[i] == ".." && i == 0 && text.front() != '/') {
        names.pop_back();
      } else if (steps[i] == "." || steps[i] == "..") {
        return {"", 0};
      } else {
        names.push_back(steps[i]);
      }
    }
  }
  std::string target;
  for (std::string_view part : names) {
    target += '/';
    target += part;
  }
  return {target, names.size()};
}

// One component of a host path as resolved: where its name ends in the
// resolved path, and whether it exists. Whether it is a folder is learnt only
// where it matters (a ".." after it), and its identity only where a drive has
// to be matched by one.
struct Part {
  enum class Kind { kMissing, kExists, kFolder, kOther };
  size_t end = 0;  // the resolved path up to and with this component is path[0, end)
  Kind kind = Kind::kMissing;
  bool exists() const { return kind != Kind::kMissing; }
};

// The host's real form of an absolute path: the longest leading part that
// resolves (links followed, ".." taken physically), with the rest appended as
// written and ".." there taken lexically. Each component costs one readlink,
// as the host's own resolution does: it tells a link (and its text) from a
// name that exists and from one that does not. The parts that do not resolve
// are not only missing ones: a name longer than the platform can hold fails
// its look-up as well, and must not keep a drive's link unresolved in front
// of it (the path would then fall outside its drive).
class Resolution {
 public:
  explicit Resolution(const std::string& absolute) {
    const std::vector<std::string_view> names = SplitNames(absolute);
    parts_.reserve(names.size());
    path_.reserve(absolute.size());
    size_t i = 0;
    for (; i < names.size(); ++i) {
      int links_left = kMaxLinks;
      if (!Step(names[i], links_left, true)) break;
    }
    for (; i < names.size(); ++i) Lexical(names[i]);
  }

  const std::vector<Part>& parts() const { return parts_; }

  // The whole resolved path: "/a/b"; "" for the root.
  const std::string& path() const { return path_; }
  // Its first `count` components.
  std::string_view Path(size_t count) const {
    return std::string_view(path_).substr(0, count == 0 ? 0 : parts_[count - 1].end);
  }
  // The name of component `i`.
  std::string_view Name(size_t i) const {
    const size_t start = (i == 0 ? 0 : parts_[i - 1].end) + 1;
    return std::string_view(path_).substr(start, parts_[i].end - start);
  }

 private:
  static constexpr int kMaxLinks = 40;  // as the kernel allows

  void Push(std::string_view name, Part::Kind kind) {
    path_ += '/';
    path_ += name;
    parts_.push_back({path_.size(), kind});
  }
  void Pop() {
    parts_.pop_back();
    path_.resize(parts_.empty() ? 0 : parts_.back().end);
  }

  void Lexical(std::string_view name) {
    if (name == ".") return;
    if (name == "..") {
      if (!parts_.empty()) Pop();
      return;
    }
    Push(name, Part::Kind::kMissing);
  }

  // Whether the last part is a folder, looked at once.
  bool LastIsFolder() {
    Part& last = parts_.back();
    if (last.kind == Part::Kind::kExists) {
      struct stat st;
      last.kind = ::lstat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? Part::Kind::kFolder
                                                                         : Part::Kind::kOther;
    }
    return last.kind == Part::Kind::kFolder;
  }

  // One component; `whole` for a component of the path as written, which
  // leaves the parts as they were when it does not resolve.
  bool Step(std::string_view name, int& links_left, bool whole) {
    if (name == ".") return true;
    if (name == "..") {
      // Nothing lies below a file, not even its folder.
      if (!parts_.empty() && !LastIsFolder()) return false;
      if (!parts_.empty()) Pop();
      return true;
    }
    const size_t mark = path_.size();
    path_ += '/';
    path_ += name;
    std::string text;
    switch (Look(path_, text)) {
      case Found::kMissing:
        path_.resize(mark);
        return false;
      case Found::kThere:
        parts_.push_back({path_.size(), Part::Kind::kExists});
        return true;
      case Found::kLink:
        break;
    }
    path_.resize(mark);
    if (--links_left < 0) return false;
    if (whole) {
      const std::vector<Part> parts_before = parts_;
      const std::string path_before = path_;
      if (Link(text, links_left)) return true;
      parts_ = parts_before;
      path_ = path_before;
      return false;
    }
    return Link(text, links_left);
  }

  enum class Found { kMissing, kThere, kLink };
  // What `path` names, and for a link its text; below a file the look-up
  // fails with ENOTDIR, as it should.
  static Found Look(const std::string& path, std::string& text) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
    if (n < 0) return errno == EINVAL ? Found::kThere : Found::kMissing;
    if (n == 0 || static_cast<size_t>(n) >= sizeof target) return Found::kMissing;
    text.assign(target, static_cast<size_t>(n));
    return Found::kLink;
  }

  bool Link(std::string_view target, int& links_left) {
    if (target.front() == '/') {
      parts_.clear();
      path_.clear();
    }
    for (std::string_view part : SplitNames(target)) {
      if (!Step(part, links_left, false)) return false;
    }
    return true;
  }

  std::vector<Part> parts_;
  std::string path_;
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

Prefix::Prefix(fs::path root)
    : root_(std::move(root)), devices_((root_ / "dosdevices").string()) {}

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

std::string Prefix::DriveLinkPath(char16_t letter) const {
  std::string link = devices_;
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
  return ::stat(DriveLinkPath(letter).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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
      base = DriveLinkPath(parsed.drive);
      check_drive = true;
      break;
    case rules::win_path::PathKind::kRooted: {
      const Text cwd = ToWindows(CurrentFolder());
      EnsureLayout();
      base = DriveLinkPath(cwd.empty() ? u'Z' : cwd[0]);
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
  // Each path below is built in one room made for the whole of it.
  size_t room = base.size() + 2;
  for (const std::string& name : names) room += name.size() + 1;
  // Most paths are written as they stand on disk: one lstat settles them. It
  // is skipped when the folders' kept listings say a name differs.
  std::string exact;
  exact.reserve(room);
  exact = base;
  bool worth_trying = true;
  size_t hinted = 0;  // leading components no kept listing says differ
  for (const std::string& name : names) {
    const std::optional<bool> known =
        worth_trying ? listings_.KnownExact(exact, name) : std::optional<bool>(true);
    if (known && !*known) worth_trying = false;
    if (worth_trying) ++hinted;
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
  // The path is built again, in the same room.
  exact.resize(base.size());
  base = std::move(exact);
  // The components the hints call exact are taken as written when the folder
  // they lead to is there: the host found each of them by its exact name on
  // the way. One look at that folder then stands for one per component.
  size_t start = 0;
  std::optional<FolderListings::Match> first;
  if (const size_t deepest = std::min(hinted, names.size() - 1); !names.empty() && deepest > 0) {
    const size_t base_size = base.size();
    for (size_t i = 0; i < deepest; ++i) {
      base += '/';
      base += names[i];
    }
    FolderListings::Match found = listings_.Find(base, parsed.components[deepest], names[deepest]);
    if (found.status != FolderListings::Status::kNoFolder) {
      start = deepest;
      first = std::move(found);
    } else {
      base.resize(base_size);
    }
  }
  bool matching = true;  // once a component is missing, nothing below it exists
  for (size_t i = start; i < names.size(); ++i) {
    if (matching) {
      const FolderListings::Match found =
          i == start && first ? std::move(*first)
                              : listings_.Find(base, parsed.components[i], names[i]);
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
  std::shared_ptr<const FolderListings::Listing> listing = listings_.Get(devices_);
  if (!listing) return nullptr;
  {
    const std::lock_guard lock(drive_links_mutex_);
    if (drive_links_ && drive_links_->listing == listing) return drive_links_;
  }
  struct stat st;
  const std::vector<std::string_view> devices_names = SplitNames(devices_);
  const bool devices_is_folder =
      devices_.front() == '/' &&
      std::none_of(devices_names.begin(), devices_names.end(),
                   [](std::string_view n) { return n == "." || n == ".."; }) &&
      ::lstat(devices_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  auto links = std::make_shared<DriveLinks>();
  for (const std::string& name : listing->names) {
    if (name.size() != 2 || name[1] != ':' || name[0] < 'a' || name[0] > 'z') continue;
    char text[PATH_MAX];
    const ssize_t n =
        ::readlink(DriveLinkPath(static_cast<char16_t>(name[0])).c_str(), text, sizeof text);
    DriveLink link{name[0], n > 0 ? std::string(text, static_cast<size_t>(n)) : "", {}, 0};
    if (devices_is_folder) {
      std::tie(link.lexical, link.lexical_depth) = LexicalTarget(devices_names, name, link.text);
    }
    links->links.push_back(std::move(link));
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
  // drives on one folder, the first letter. The resolved path has no links
  // in it, so a drive whose link says where it leads, and leads to a leading
  // part of it, needs no look; the others are looked at by identity.
  EnsureLayout();
  const std::string& resolved = resolution.path();
  char letter = 0;
  size_t depth = 0;  // components of the path the drive's folder holds
  auto consider = [&letter, &depth](char drive, size_t at) {
    if (letter == 0 || at > depth || (at == depth && drive < letter)) {
      letter = drive;
      depth = at;
    }
  };
  // Identities of the parts, looked at only for a drive matched by one.
  std::vector<std::optional<std::optional<Identity>>> identities(parts.size());
  auto identity_of = [&](size_t count) -> const std::optional<Identity>& {
    std::optional<std::optional<Identity>>& known = identities[count - 1];
    if (!known) {
      struct stat st;
      known.emplace();
      if (parts[count - 1].exists() && ::lstat(std::string(resolution.Path(count)).c_str(), &st) == 0) {
        *known = FileIdentity::Of(st);
      }
    }
    return *known;
  };
  if (const std::shared_ptr<const DriveLinks> links = CurrentDriveLinks()) {
    for (const DriveLink& link : links->links) {
      if (link.lexical_depth != 0 && link.lexical_depth <= parts.size() &&
          parts[link.lexical_depth - 1].exists() &&
          resolved.compare(0, link.lexical.size(), link.lexical) == 0 &&
          (resolved.size() == link.lexical.size() || resolved[link.lexical.size()] == '/')) {
        consider(link.letter, link.lexical_depth);
        continue;
      }
      std::optional<Identity> identity;
      // A link to the host root needs no look: the root never changes.
      if (link.text == "/") {
        identity = RootIdentity();
      } else {
        struct stat st;
        if (::stat(DriveLinkPath(static_cast<char16_t>(link.letter)).c_str(), &st) == 0) {
          identity = FileIdentity::Of(st);
        }
      }
      if (!identity) continue;
      if (*identity == RootIdentity()) {
        consider(link.letter, 0);
        continue;
      }
      // Only a deeper folder than the best so far can change the answer.
      for (size_t at = parts.size(); at > 0 && at >= depth; --at) {
        if (parts[at - 1].exists() && identity_of(at) == identity) {
          consider(link.letter, at);
          break;
        }
      }
    }
  }
  // A path outside every drive still answers in Windows form.
  if (letter == 0) letter = 'z';

  Text out;
  out.push_back(static_cast<char16_t>(letter - 32));
  out += u":\\";
  for (size_t i = depth; i < parts.size(); ++i) {
    if (i > depth) out.push_back(u'\\');
    out += FromUtf8(resolution.Name(i));
  }
  return out;
}

}  // namespace kavrolin::platform::posix
