#include "toolkit/path/file_kill.h"

#include <functional>
#include <vector>

#include "toolkit/path/path_parts.h"

namespace kavrolin::toolkit::path {
namespace {

// Runs one step; a failure is remembered and the method goes on.
class Steps {
 public:
  void Run(const std::function<void()>& step) {
    try {
      step();
    } catch (...) {
      failed_ = true;
    }
  }
  bool failed() const { return failed_; }

 private:
  bool failed_ = false;
};

// Normal search attributes: files only, read-only ones included.
constexpr uint32_t kNormalSearch = 0;

}  // namespace

bool FileKill(platform::FileSystem& files, TextView sFilename, bool bDeleteReadOnly) {
  Steps steps;
  auto kill = [&](const Text& file) {
    if (bDeleteReadOnly) steps.Run([&] { files.SetAttributes(file, 0); });
    steps.Run([&] { files.DeleteFile(file, /*force=*/false); });
  };
  if (sFilename.find_first_of(u"*$") == TextView::npos) {
    kill(Text(sFilename));
    return !steps.failed();
  }
  Text folder;
  steps.Run([&] { folder = ParsePath(sFilename); });
  // Without its folder no name found could be paired with the right file.
  if (steps.failed()) return false;
  // The search takes "/" as a separator too; the names it finds lie in the
  // folder it searched, so they are paired with that one.
  const size_t slash = sFilename.rfind(u'/');
  if (slash != TextView::npos && slash >= folder.size()) folder = sFilename.substr(0, slash + 1);
  std::vector<Text> names;
  steps.Run([&] { names = files.FindFiles(sFilename, kNormalSearch); });
  for (const Text& name : names) kill(folder + name);
  return !steps.failed();
}

}  // namespace kavrolin::toolkit::path
