// The drive mapping over a prefix of its own. Invariant: a path on drive C
// maps below the drive's link, with no "." or ".." left in it, so it never
// leaves the drive's folder; its Windows form names drive C again. Mapping
// only looks: it makes nothing but the prefix's own layout.
#include <string>

#include "base/automation_error.h"
#include "platform/posix/prefix.h"
#include "rules/win_path.h"
#include "fuzz_support.h"

using namespace kavrolin;

namespace {

const platform::posix::Prefix& ThePrefix() {
  static const platform::posix::Prefix prefix(fuzz::ScratchFolder() / "prefix");
  return prefix;
}

bool StaysBelow(const std::string& path, const std::string& base) {
  if (path.compare(0, base.size(), base) != 0) return false;
  if (path.size() > base.size() && path[base.size()] != '/') return false;
  size_t start = base.size();
  while (start < path.size()) {
    const size_t slash = path.find('/', start + 1);
    const std::string part = path.substr(start + 1, slash == std::string::npos ? std::string::npos
                                                                                : slash - start - 1);
    if (part == "." || part == "..") return false;
    if (slash == std::string::npos) break;
    start = slash;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const auto& prefix = ThePrefix();
  const bool on_c = data.ConsumeBool();
  Text path = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"\\/.. aA*?:\"<>|c\x4E2D", 64)
                                 : fuzz::Units(data, 128);
  if (on_c) path = (data.ConsumeBool() ? u"C:" : u"c:\\") + path;
  // The pure splitting first: it answers every text.
  const auto parsed = rules::win_path::Parse(path);
  for (const Text& component : parsed.components) {
    FUZZ_CHECK(component != u"." && component != u".." && !component.empty());
  }
  rules::win_path::FileName(path);
  rules::win_path::BaseName(path);
  rules::win_path::ExtensionName(path);
  rules::win_path::ParentFolderName(path);
  rules::win_path::DriveName(path);
  try {
    const auto host = prefix.ToHost(path);
    if (on_c) {
      const std::string drive = (prefix.root() / "dosdevices" / "c:").string();
      FUZZ_CHECK(StaysBelow(host.path.back() == '/' && host.path.size() > drive.size()
                                ? host.path.substr(0, host.path.size() - 1)
                                : host.path,
                            drive));
      const Text windows = prefix.ToWindows(host.path);
      FUZZ_CHECK(windows.size() >= 2 && AsciiUpper(windows[0]) == u'C' && windows[1] == u':');
    }
  } catch (const AutomationError& e) {
    FUZZ_CHECK(e.number() == 76 || e.number() == 52);
  }
  return 0;
}
