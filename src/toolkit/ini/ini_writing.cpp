#include "toolkit/ini/ini_writing.h"

#include <optional>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "toolkit/ini/ini_reading.h"

namespace kavrolin::toolkit::ini {
namespace {

// Each in/out text, as it comes back from the ANSI code page.
void RoundTrip(Text& text) { text = FromAnsi(ToAnsi(text)); }

TextView TrimSpaces(TextView text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

TextView TrimSpacesAndTabs(TextView text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// True when a name of the NUL-separated list, blanks trimmed, is `section`.
// The text after the last NUL counts as a name too, so an empty section name
// is listed whenever the file has any section, and never when it has none.
bool Listed(const Text& list, const Text& section) {
  if (list.empty()) return false;
  size_t start = 0;
  for (;;) {
    const size_t end = list.find(u'\0', start);
    if (TrimSpaces(TextView(list).substr(start, end - start)) == section) return true;
    if (end == Text::npos) return false;
    start = end + 1;
  }
}

}  // namespace

Text JoinPath(const Text& folder, const Text& name) {
  TextView f(folder);
  TextView n(name);
  while (!f.empty() && f.back() == u'\\') f.remove_suffix(1);
  while (!n.empty() && n.front() == u'\\') n.remove_prefix(1);
  Text joined(f);
  joined += u'\\';
  joined += n;
  return joined;
}

bool SetIniKeyValue(platform::Profile& profile, const Text& ini_file, Text& strSection,
                    Text& strKey, Text& strValue) {
  try {
    const std::string section = ToAnsi(strSection);
    const std::string key = ToAnsi(strKey);
    const std::string value = ToAnsi(strValue);
    const bool written = profile.WriteString(section.c_str(), key.c_str(), value.c_str(), ini_file);
    RoundTrip(strSection);
    RoundTrip(strKey);
    RoundTrip(strValue);
    return written;
  } catch (...) {
    return false;
  }
}

bool SetIniRemark(platform::Profile& profile, const Text& ini_file, const Text& strSection,
                  const Text& strRemark) {
  try {
    const Text header = u"[" + strSection + u"]";
    const Text remark = u";" + strRemark;
    return profile.Rewrite(ini_file, [&](const std::string& bytes) -> std::optional<std::string> {
      if (!Listed(GetIniSectionList(profile, ini_file), strSection)) return std::nullopt;
      const Text text = FromAnsi(bytes);
      Text rewritten;
      rewritten.reserve(text.size() + remark.size() * 2 + 8);
      size_t start = 0;
      for (;;) {
        const size_t end = text.find(u"\r\n", start);
        const TextView line = TextView(text).substr(start, end - start);
        rewritten += line;
        if (TrimSpacesAndTabs(line) == header) {
          rewritten += u"\r\n";
          rewritten += remark;
        }
        if (end == Text::npos) break;
        rewritten += u"\r\n";
        start = end + 2;
      }
      return ToAnsi(rewritten);
    });
  } catch (...) {
    return false;
  }
}

bool DelIniKey(platform::Profile& profile, const Text& ini_file, Text& strSection, Text& strKey) {
  const std::string section = ToAnsi(strSection);
  const std::string key = ToAnsi(strKey);
  const bool done = key.empty()
                        ? profile.WriteSection(section.c_str(), "\0", ini_file)
                        : profile.WriteString(section.c_str(), key.c_str(), nullptr, ini_file);
  RoundTrip(strSection);
  RoundTrip(strKey);
  return done;
}

bool DelIniSection(platform::Profile& profile, const Text& ini_file, Text& strSection) {
  const std::string section = ToAnsi(strSection);
  const bool done = profile.WriteSection(section.c_str(), nullptr, ini_file);
  RoundTrip(strSection);
  return done;
}

}  // namespace kavrolin::toolkit::ini
