// How the host reaches the files the component's Windows paths name. On
// POSIX the prefix maps them (platform/posix/prefix.h); on Windows the paths
// are native and pass unchanged.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/text.h"

#if defined(_WIN32)
namespace kavrolin::cli {

struct NativeHostPath {
  std::string path;  // in the ANSI code page, as std::filesystem reads narrow text there
  bool is_root = false;
};

class HostPaths {
 public:
  // Throws AutomationError 76 for an empty path.
  NativeHostPath ToHost(TextView path) const;
  Text ToWindows(const std::filesystem::path& host_path) const;
};

}  // namespace kavrolin::cli
#else
#include "platform/posix/prefix.h"

namespace kavrolin::cli {
using HostPaths = platform::posix::Prefix;
}  // namespace kavrolin::cli
#endif

namespace kavrolin::cli {

// The process's mapping: the prefix KAVROLIN_PREFIX names on POSIX.
std::shared_ptr<const HostPaths> DefaultHostPaths();

}  // namespace kavrolin::cli
