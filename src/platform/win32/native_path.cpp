#include "platform/win32/native_path.h"

#include "platform/win32/windows_api.h"

#include <vector>

#include "base/automation_error.h"
#include "base/upper_case.h"

namespace kavrolin::platform::win32 {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithoutTrailingSeparator(std::wstring path) {
  while (path.size() > 3 && IsSeparator(path.back())) path.pop_back();
  return path;
}

}  // namespace

std::wstring NativePath(TextView path) {
  if (path.empty()) throw AutomationError(ErrorNumber::kPathNotFound);
  return std::wstring(reinterpret_cast<const wchar_t*>(path.data()), path.size());
}

std::wstring FullPath(TextView path) {
  const std::wstring native = NativePath(path);
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetFullPathNameW(native.c_str(), static_cast<DWORD>(buffer.size()),
                                       buffer.data(), nullptr);
    if (n == 0) throw AutomationError(ErrorNumber::kBadFileName);
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(n + 1);
  }
}

Text FromNative(std::wstring_view path) {
  return Text(reinterpret_cast<const char16_t*>(path.data()), path.size());
}

bool Holds(const std::wstring& outer, const std::wstring& inner) {
  const Text o = UpperCase(FromNative(WithoutTrailingSeparator(outer)));
  const Text i = UpperCase(FromNative(WithoutTrailingSeparator(inner)));
  if (i == o) return true;
  if (i.size() <= o.size() || i.compare(0, o.size(), o) != 0) return false;
  return IsSeparator(static_cast<wchar_t>(i[o.size()])) || IsSeparator(static_cast<wchar_t>(o.back()));
}

bool IsRoot(const std::wstring& full_path) {
  const std::wstring p = WithoutTrailingSeparator(full_path);
  if (p.size() <= 3 && p.size() >= 2 && p[1] == L':') return true;
  if (p.size() > 2 && IsSeparator(p[0]) && IsSeparator(p[1])) {
    // "\\server\share": two components after the leading pair.
    int parts = 0;
    bool in_part = false;
    for (size_t i = 2; i < p.size(); ++i) {
      if (IsSeparator(p[i])) {
        in_part = false;
      } else if (!in_part) {
        in_part = true;
        ++parts;
      }
    }
    return parts <= 2;
  }
  return false;
}

}  // namespace kavrolin::platform::win32
