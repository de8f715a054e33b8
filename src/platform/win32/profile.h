// Profile on Windows: the platform's own GetPrivateProfileStringA,
// WritePrivateProfileStringA and WritePrivateProfileSectionA, the file name
// in the ANSI code page (a bare name lies in the Windows folder, as the
// functions place it).
//
// Rewrite reads the file and replaces it through FileSystem::ReplaceFile (a
// new file renamed over the old one), so a crash leaves the old file or the
// new one whole. It and this service's writers hold a lock named after the
// file (a named mutex shared by every process of the session), so a rewrite
// loses no update made through this service; the platform's functions keep
// their own lock for their single writes.
//
// Thread-safe; any thread may call.
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/profile.h"

namespace kavrolin::platform::win32 {

class Win32Profile : public Profile {
 public:
  explicit Win32Profile(std::shared_ptr<FileSystem> files) : files_(std::move(files)) {}

  uint32_t GetString(const char* section, const char* key, const char* default_value,
                     char* buffer, uint32_t size, TextView file) override;
  bool WriteString(const char* section, const char* key, const char* value,
                   TextView file) override;
  bool WriteSection(const char* section, const char* entries, TextView file) override;
  bool Rewrite(TextView file, const RewriteEdit& edit) override;

 private:
  std::shared_ptr<FileSystem> files_;
};

}  // namespace kavrolin::platform::win32
