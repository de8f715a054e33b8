#include "toolkit/cls_ht.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/services_in_prefix.h"
#include "support/error_of.h"

namespace kavrolin::toolkit {
namespace {

TEST(clsHT, PathsAreStoredAsGiven) {
  kavrolin::testing::ServicesInPrefix env;
  clsHT ht(env.services);
  EXPECT_EQ(ht.INIFile(), u"");
  EXPECT_EQ(ht.LOGFile(), u"");
  const Text paths[] = {u"", u"Q:\\no\\such\\folder\\x.ini", u"relative.ini", u"C:\\\\a"};
  for (const Text& path : paths) {
    ht.INIFile(path);
    ht.LOGFile(path + u"log");
    EXPECT_EQ(ht.INIFile(), path);
    EXPECT_EQ(ht.LOGFile(), path + u"log");
  }
}

TEST(clsHT, CreateIniJoinsWithOneBackslash) {
  kavrolin::testing::ServicesInPrefix env;
  clsHT ht(env.services);
  const struct {
    const char* label;
    Text folder, name, path;
  } rows[] = {
      {"root", u"C:\\", u"a.ini", u"C:\\a.ini"},
      {"drive_only", u"C:", u"app.ini", u"C:\\app.ini"},
      {"doubled_on_both_sides", u"C:\\POS\\\\", u"\\\\app.ini", u"C:\\POS\\app.ini"},
      {"inner_backslashes_kept", u"C:\\a\\\\b", u"c\\\\d.ini", u"C:\\a\\\\b\\c\\\\d.ini"},
      {"empty_folder", u"", u"a.ini", u"\\a.ini"},
      {"empty_name", u"C:\\POS", u"", u"C:\\POS\\"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text folder = row.folder, name = row.name;
    ht.CreateIni(folder, name);
    EXPECT_EQ(ht.INIFile(), row.path);
    EXPECT_EQ(folder, row.folder);
  }
}

TEST(clsHT, WithoutSystemOrEchoServiceTheirMembersFailTheCall) {
  kavrolin::testing::ServicesInPrefix env;
  platform::Services services = env.services;
  services.system = nullptr;
  services.echo = nullptr;
  clsHT ht(services);
  Text address = u"127.0.0.1";
  const struct {
    const char* label;
    std::function<void()> call;
  } rows[] = {
      {"GetMachineName", [&] { ht.GetMachineName(); }},
      {"SetMachineName", [&] { ht.SetMachineName(u"POS"); }},
      {"ExitWindows", [&] { ht.ExitWindows(1); }},
      {"LockFunction", [&] { ht.LockFunction(); }},
      {"UnLockFunction", [&] { ht.UnLockFunction(); }},
      {"Ping", [&] { ht.Ping(address); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(kavrolin::testing::ErrorOf(row.call), 48);
  }
  // The file-system members need neither.
  EXPECT_TRUE(ht.DriveExists(u"C:"));
}

}  // namespace
}  // namespace kavrolin::toolkit
