// Test helpers: a temporary folder removed with everything in it, and an
// environment variable set for one scope.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kavrolin::testing {

class TempDir {
 public:
  TempDir();  // a new empty folder under TMPDIR (or /tmp; the temporary folder on Windows)
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// Writes bytes to a host file, creating its folders.
void WriteHostFile(const std::filesystem::path& path, const std::string& bytes);
// Reads a host file's bytes; empty when it cannot be read.
std::string ReadHostFile(const std::filesystem::path& path);

}  // namespace kavrolin::testing
