// A throwaway prefix for one benchmark.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/posix/prefix.h"

namespace kavrolin::bench {

struct BenchPrefix {
  BenchPrefix() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/kavrolin-bench-XXXXXX";
    root = ::mkdtemp(pattern.data());
    prefix = std::make_shared<platform::posix::Prefix>(root);
    prefix->EnsureLayout();
  }
  ~BenchPrefix() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  std::filesystem::path C(const std::filesystem::path& relative) const {
    return root / "drive_c" / relative;
  }

  std::filesystem::path root;
  std::shared_ptr<platform::posix::Prefix> prefix;
};

}  // namespace kavrolin::bench
