#include "toolkit/ini/ini_reading.h"

#include <string>
#include <vector>

#include "base/ansi.h"
#include "base/variant.h"
#include "toolkit/text/replace.h"

namespace kavrolin::toolkit::ini {
namespace {

// Runs one read into a zeroed buffer and answers the bytes it delivered.
template <typename Read>
std::string Delivered(Read read) {
  std::vector<char> buffer(kReadBuffer + 1, '\0');
  const uint32_t n = read(buffer.data(), kReadBuffer);
  return std::string(buffer.data(), n < kReadBuffer ? n : kReadBuffer);
}

}  // namespace

Text GetIniKeyValue(platform::Profile& profile, const Text& ini_file, Text& strSection,
                    Text& strKey) {
  const std::string section = ToAnsi(strSection);
  const std::string key = ToAnsi(strKey);
  const std::string value = Delivered([&](char* buffer, uint32_t size) {
    return profile.GetString(section.c_str(), key.c_str(), "", buffer, size, ini_file);
  });
  strSection = FromAnsi(section);
  strKey = FromAnsi(key);
  return text::StrReplaceRepeat(Variant(FromAnsi(value)), Text(1, u'\0'), Text());
}

Text GetIniKeyList(platform::Profile& profile, const Text& ini_file, Text& strSection) {
  const std::string section = ToAnsi(strSection);
  const std::string list = Delivered([&](char* buffer, uint32_t size) {
    return profile.GetString(section.c_str(), nullptr, "", buffer, size, ini_file);
  });
  strSection = FromAnsi(section);
  return FromAnsi(list);
}

Text GetIniSectionList(platform::Profile& profile, const Text& ini_file) {
  return FromAnsi(Delivered([&](char* buffer, uint32_t size) {
    return profile.GetString(nullptr, nullptr, "", buffer, size, ini_file);
  }));
}

}  // namespace kavrolin::toolkit::ini
