#include "component/installer_registry.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <tuple>

#include "base/ansi.h"
#include "component/registration.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::component {
namespace {

namespace reg = platform::reg;
using Row = std::tuple<std::string, std::string, std::string>;  // key, name, value (UTF-8)

std::string Unescaped(std::string text) {
  static const std::pair<const char*, const char*> kEscapes[] = {
      {"[\\[]", "["}, {"[\\]]", "]"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [from, to] : kEscapes) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += std::string(to).size()) {
      text.replace(at, std::string(from).size(), to);
    }
  }
  return text;
}

// The include's RegistryValue elements read back, with the installer's
// references resolved as the installer does for `folder` (a folder
// reference ends in "\").
std::set<Row> PackageRows(const std::string& include, const std::string& folder) {
  const std::regex element(
      R"re(<RegistryValue Root="HKCR" Key="([^"]*)"(?: Name="([^"]*)")? Type="string" Value="([^"]*)" />)re");
  std::set<Row> rows;
  for (std::sregex_iterator it(include.begin(), include.end(), element), end; it != end; ++it) {
    std::string value = (*it)[3];
    if (value == "[#KavrolinDll]") value = folder + "\\Kavrolin.dll";
    if (value == "[INSTALLDIR]") value = folder + "\\";
    rows.insert({Unescaped((*it)[1]), Unescaped((*it)[2]), Unescaped(value)});
  }
  return rows;
}

// Every value below HKEY_CLASSES_ROOT, walked through the registry.
void StoreRows(platform::Registry& registry, const std::string& path, std::set<Row>& rows) {
  platform::RegHandle handle = 0;
  ASSERT_EQ(registry.OpenKey(reg::kClassesRoot, path, reg::kKeyRead, handle), reg::kSuccess) << path;
  const platform::RegKey opened(registry, handle);
  std::string name, data;
  uint32_t type = 0;
  for (uint32_t i = 0; registry.EnumValue(handle, i, name, type, data) == reg::kSuccess; ++i) {
    EXPECT_EQ(type, reg::kSz) << path << "|" << name;
    rows.insert({ToUtf8(FromAnsi(path)), ToUtf8(FromAnsi(name)),
                 ToUtf8(FromAnsi(data.substr(0, data.find('\0'))))});
  }
  std::vector<std::string> keys;
  for (uint32_t i = 0; registry.EnumKey(handle, i, name) == reg::kSuccess; ++i) keys.push_back(name);
  for (const std::string& key : keys) StoreRows(registry, path.empty() ? key : path + "\\" + key, rows);
}

TEST(InstallerRegistryTest, ThePackageWritesWhatDllRegisterServerWrites) {
  for (const std::string folder : {"C:\\Program Files\\Kavrolin", "C:\\收银"}) {
    SCOPED_TRACE(folder);
    testing::ServicesInPrefix env;
    ASSERT_EQ(RegisterLibrary(*env.services.registry, FromUtf8(folder + "\\Kavrolin.dll")), reg::kSuccess);
    std::set<Row> registered;
    StoreRows(*env.services.registry, "", registered);
    const std::string include = InstallerRegistryInclude(u"[#KavrolinDll]", u"[INSTALLDIR]");
    EXPECT_EQ(PackageRows(include, folder), registered);
    EXPECT_GT(registered.size(), 40u);
  }
}

}  // namespace
}  // namespace kavrolin::component
