// Windows path rules as pure text functions, so both platforms' path handling
// is tested on one host. "\" and "/" both separate components.
#pragma once

#include <vector>

#include "base/text.h"

namespace kavrolin::rules::win_path {

constexpr bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

enum class PathKind {
  kEmpty,     // "": names nothing at all
  kDrive,     // "C:\a", "C:/a", "C:a" and "C:" (taken from the drive root)
  kUnc,       // "\\server\share\a": a network path
  kRooted,    // "\a": the root of the current drive
  kRelative,  // "a\b": from the current folder
  kHost,      // "/a": a host path, used as it stands (POSIX only)
};

struct ParsedPath {
  PathKind kind = PathKind::kEmpty;
  char16_t drive = 0;             // upper-case letter for kDrive
  std::vector<Text> components;   // normalised: no ".", "..", or empty parts
  bool trailing_separator = false;
  bool valid_names = true;        // false when a component holds <>:"|?* or a control character
};

// Splits and normalises a path: "." parts go, ".." drops the previous part but
// never climbs above the root, trailing dots and blanks of a part go (as the
// platform strips them). A path starting with "/" is kHost and is still split.
ParsedPath Parse(TextView path);

// The parts the platform's file-system object computes from the text alone.
Text DriveName(TextView path);         // "C:" or "\\server\share"; else empty
Text FileName(TextView path);          // last component; empty for a root
Text BaseName(TextView path);          // FileName without its last "." and what follows
Text ExtensionName(TextView path);     // text after the last "." of FileName
Text ParentFolderName(TextView path);  // without the last component; a root keeps its "\"

}  // namespace kavrolin::rules::win_path
