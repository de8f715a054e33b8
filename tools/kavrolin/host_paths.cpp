#include "kavrolin/host_paths.h"

#include "base/ansi.h"
#include "base/automation_error.h"

namespace kavrolin::cli {

#if defined(_WIN32)
NativeHostPath HostPaths::ToHost(TextView path) const {
  if (path.empty()) throw AutomationError(ErrorNumber::kPathNotFound);
  NativeHostPath host;
  host.path = ToAnsi(path);
  const std::string& p = host.path;
  host.is_root = (p.size() == 3 && p[1] == ':' && (p[2] == '\\' || p[2] == '/')) ||
                 (p.size() == 2 && p[1] == ':');
  return host;
}

Text HostPaths::ToWindows(const std::filesystem::path& host_path) const {
  const std::wstring native = host_path.wstring();
  return Text(native.begin(), native.end());
}

std::shared_ptr<const HostPaths> DefaultHostPaths() { return std::make_shared<const HostPaths>(); }
#else
std::shared_ptr<const HostPaths> DefaultHostPaths() {
  return std::make_shared<const HostPaths>(HostPaths::DefaultRoot());
}
#endif

}  // namespace kavrolin::cli
