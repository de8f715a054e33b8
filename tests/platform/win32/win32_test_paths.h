// Native paths for the Windows realisations' tests: every test works in a
// temporary folder of its own.
#pragma once

#include <filesystem>
#include <string>

#include "base/text.h"
#include "support/temp_dir.h"

namespace kavrolin::testing {

inline Text NativeText(const std::filesystem::path& path) {
  const std::wstring native = path.wstring();
  return Text(native.begin(), native.end());
}

}  // namespace kavrolin::testing
