#include "support/temp_dir.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kavrolin::testing {

namespace {

#if defined(_WIN32)
void SetEnv(const std::string& name, const std::optional<std::string>& value) {
  // An empty value removes the variable from the C runtime's environment,
  // which _putenv_s keeps in step with the process's.
  ::_putenv_s(name.c_str(), value ? value->c_str() : "");
}

std::filesystem::path NewFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary folder");
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    const std::filesystem::path folder =
        std::filesystem::path(std::wstring(temp, n)) /
        ("kavrolin-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(::GetTickCount()) + "-" + std::to_string(attempt));
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

void MakeRemovable(const std::filesystem::path& item) {
  const DWORD attributes = ::GetFileAttributesW(item.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetFileAttributesW(item.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}
#else
void SetEnv(const std::string& name, const std::optional<std::string>& value) {
  if (value) ::setenv(name.c_str(), value->c_str(), 1);
  else ::unsetenv(name.c_str());
}

std::filesystem::path NewFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kavrolin-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

void MakeRemovable(const std::filesystem::path& item) { ::chmod(item.c_str(), 0700); }
#endif

}  // namespace

TempDir::TempDir() : path_(NewFolder()) {}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests make read-only items; make them removable so everything goes.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_symlink(ec)) MakeRemovable(it->path());
  }
  std::filesystem::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value)
    : name_(name) {
  if (const char* old = std::getenv(name)) saved_ = old;
  SetEnv(name_, value);
}

ScopedEnv::~ScopedEnv() { SetEnv(name_, saved_); }

void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace kavrolin::testing
