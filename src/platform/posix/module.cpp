#include "platform/posix/module.h"

#include <dlfcn.h>

#include <filesystem>

namespace kavrolin::platform::posix {
namespace fs = std::filesystem;

fs::path ComponentFile() {
  Dl_info info{};
  static const int anchor = 0;
  std::error_code ec;
  if (::dladdr(&anchor, &info) != 0 && info.dli_fname != nullptr) {
    fs::path file = fs::canonical(info.dli_fname, ec);
    if (!ec) return file;
  }
  // Linked into a program that was started by a bare name.
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path("/") : self;
}

Text PosixModule::ComponentFolder() { return prefix_->ToWindows(ComponentFile().parent_path()); }

Text PosixModule::ComponentPath() { return prefix_->ToWindows(ComponentFile()); }

}  // namespace kavrolin::platform::posix
