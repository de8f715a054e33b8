#include "rules/win_path.h"

#include <array>

namespace kavrolin::rules::win_path {
namespace {

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool HasDrive(TextView p) { return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == u':'; }

bool IsUnc(TextView p) { return p.size() >= 2 && IsSeparator(p[0]) && IsSeparator(p[1]); }

// The characters below 0x80 that no name may hold: controls and < > : " | ? *.
constexpr std::array<bool, 0x80> kNotInNames = [] {
  std::array<bool, 0x80> table{};
  for (size_t c = 0; c < 0x20; ++c) table[c] = true;
  for (char c : {'<', '>', ':', '"', '|', '?', '*'}) table[static_cast<size_t>(c)] = true;
  return table;
}();

bool IsValidName(TextView name) {
  for (char16_t c : name) {
    if (c < 0x80 && kNotInNames[c]) return false;
  }
  return true;
}

// Length of the root part: "C:\" 3, "C:" 2, "\" 1, "\\server\share\" up to
// and without the separator after the share, "" 0.
size_t RootLength(TextView p) {
  if (HasDrive(p)) return (p.size() > 2 && IsSeparator(p[2])) ? 3 : 2;
  if (IsUnc(p)) {
    size_t i = 2;
    while (i < p.size() && !IsSeparator(p[i])) ++i;  // server
    if (i < p.size()) ++i;
    while (i < p.size() && !IsSeparator(p[i])) ++i;  // share
    return i;
  }
  if (!p.empty() && IsSeparator(p[0])) return 1;
  return 0;
}

// End of the text once trailing separators are dropped, but never into the root.
size_t TrimmedEnd(TextView p, size_t root) {
  size_t end = p.size();
  while (end > root && IsSeparator(p[end - 1])) --end;
  return end;
}

}  // namespace

ParsedPath Parse(TextView path) {
  ParsedPath out;
  size_t pos = 0;
  if (path.empty()) return out;
  if (HasDrive(path)) {
    out.kind = PathKind::kDrive;
    out.drive = AsciiUpper(path[0]);
    pos = 2;
  } else if (IsUnc(path)) {
    out.kind = PathKind::kUnc;
    pos = 2;
  } else if (path[0] == u'/') {
    out.kind = PathKind::kHost;
  } else if (path[0] == u'\\') {
    out.kind = PathKind::kRooted;
  } else {
    out.kind = PathKind::kRelative;
  }
  out.trailing_separator = IsSeparator(path.back());

  out.components.reserve(8);  // most paths hold fewer
  while (pos < path.size()) {
    while (pos < path.size() && IsSeparator(path[pos])) ++pos;
    size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    TextView part = path.substr(pos, end - pos);
    pos = end;
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      // The server and share of a network path are its root.
      const size_t floor = out.kind == PathKind::kUnc ? 2 : 0;
      if (out.components.size() > floor) out.components.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.remove_suffix(1);
    if (part.empty()) continue;
    if (!IsValidName(part)) out.valid_names = false;
    out.components.emplace_back(part);
  }
  return out;
}

Text DriveName(TextView path) {
  if (HasDrive(path)) return Text(path.substr(0, 2));
  if (IsUnc(path)) return Text(path.substr(0, RootLength(path)));
  return {};
}

Text FileName(TextView path) {
  const size_t root = RootLength(path);
  const size_t end = TrimmedEnd(path, root);
  size_t start = end;
  while (start > root && !IsSeparator(path[start - 1])) --start;
  return Text(path.substr(start, end - start));
}

Text BaseName(TextView path) {
  Text name = FileName(path);
  const size_t dot = name.rfind(u'.');
  if (dot != Text::npos) name.resize(dot);
  return name;
}

Text ExtensionName(TextView path) {
  const Text name = FileName(path);
  const size_t dot = name.rfind(u'.');
  return dot == Text::npos ? Text() : name.substr(dot + 1);
}

Text ParentFolderName(TextView path) {
  const size_t root = RootLength(path);
  const size_t end = TrimmedEnd(path, root);
  size_t start = end;
  while (start > root && !IsSeparator(path[start - 1])) --start;
  if (start == end) return {};  // a root, or nothing at all, has no parent
  // Drop the separators before the last component, but keep the root whole.
  size_t parent_end = start;
  while (parent_end > root && IsSeparator(path[parent_end - 1])) --parent_end;
  return Text(path.substr(0, parent_end));
}

}  // namespace kavrolin::rules::win_path
