#include "platform/posix/screen_saver_flag.h"

#include <filesystem>
#include <system_error>

#include "base/automation_error.h"

namespace kavrolin::platform::posix {

ScreenSaverFlag::ScreenSaverFlag(std::shared_ptr<const Prefix> prefix,
                                 std::shared_ptr<FileSystem> files)
    : prefix_(std::move(prefix)), files_(std::move(files)) {}

Text ScreenSaverFlag::FlagPath() const {
  // An absolute host path goes through the file services as it stands.
  std::error_code ec;
  std::filesystem::path root = std::filesystem::absolute(prefix_->root(), ec);
  if (ec) root = prefix_->root();
  return FromUtf8((root / kScreenSaverFlagFile).string());
}

bool ScreenSaverFlag::Running() const {
  try {
    const std::string bytes = files_->ReadFile(FlagPath());
    return !bytes.empty() && bytes[0] == '1';
  } catch (const AutomationError&) {
    return false;
  }
}

bool ScreenSaverFlag::Set(bool running) {
  try {
    prefix_->EnsureLayout();
    files_->ReplaceFile(FlagPath(), running ? "1\n" : "0\n");
    return true;
  } catch (const AutomationError&) {
    return false;
  }
}

}  // namespace kavrolin::platform::posix
