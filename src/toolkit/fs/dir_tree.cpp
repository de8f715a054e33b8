#include "toolkit/fs/dir_tree.h"

#include <cstdint>
#include <limits>

#include "base/automation_error.h"

namespace kavrolin::toolkit::fs {
namespace {

// 1-based position of `what` in `text` at or after `from` (1-based); 0 when
// absent. Positions are held as 16-bit numbers: one beyond their range is an
// overflow.
int16_t Position(const Text& text, TextView what, size_t from) {
  const size_t found = text.find(what, from - 1);
  if (found == Text::npos) return 0;
  if (found + 1 > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw AutomationError(ErrorNumber::kOverflow);
  }
  return static_cast<int16_t>(found + 1);
}

}  // namespace

bool MakeDirectory(platform::FileSystem& files, const Text& path) {
  try {
    files.CreateDirectory(path);
    return true;
  } catch (const AutomationError& e) {
    // "Already there" covers a file as well as a folder: only a folder will do.
    return e.number() == static_cast<int32_t>(ErrorNumber::kPathFileAccess) &&
           files.FolderExists(path);
  } catch (...) {
    return false;
  }
}

bool CreateDirTree(platform::FileSystem& files, const Text& strTree) {
  try {
    if (Position(strTree, u":\\", 1) <= 0) return false;
    for (int16_t i = Position(strTree, u"\\", 1); i > 0;
         i = Position(strTree, u"\\", static_cast<size_t>(i) + 1)) {
      if (!MakeDirectory(files, strTree.substr(0, static_cast<size_t>(i)))) return false;
    }
    // The deepest directory counts like every other one.
    if (strTree.back() != u'\\') return MakeDirectory(files, strTree);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kavrolin::toolkit::fs
