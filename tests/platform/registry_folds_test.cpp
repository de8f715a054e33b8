#include "platform/posix/registry_folds.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/ansi.h"
#include "platform/posix/registry.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// Runs statements on the store file outside the registry, as an earlier
// version of the program left it.
void Rewrite(const fs::path& file, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  char* message = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << message;
  sqlite3_free(message);
  sqlite3_close(db);
}

int64_t UserVersion(const fs::path& file) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr);
  const int64_t version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return version;
}

class RegistryFoldsTest : public ::testing::Test {
 protected:
  RegistryFoldsTest() : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")) {}
  fs::path File() const { return dir_.path() / "pfx" / "registry.db"; }

  testing::TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
};

// U+01CE (a with caron) is in code page 936; the C library's upper case maps
// it to U+01CD, the file names' fold keeps it. A store folded the old way
// must still find the key and the value by every spelling the new fold
// calls the same.
TEST_F(RegistryFoldsTest, StoreFoldedTheOldWayStillFindsItsNames) {
  const std::string key_name = ToAnsi(u"P\u01CEy");
  const std::string value_name = ToAnsi(u"\u01CEmount");
  {
    PosixRegistry registry(prefix_);
    RegHandle key = 0;
    ASSERT_EQ(registry.CreateKey(reg::kCurrentUser, key_name, reg::kKeyAllAccess, key),
              reg::kSuccess);
    ASSERT_EQ(registry.SetValue(key, value_name, reg::kSz, "12\0"s), reg::kSuccess);
    registry.CloseKey(key);
  }
  EXPECT_EQ(UserVersion(File()), kCurrentFoldRule);
  Rewrite(File(),
          "UPDATE keys SET fold = 'P\xC7\x8DY' WHERE name = 'P\xC7\x8Ey';"
          "UPDATE vals SET fold = '\xC7\x8DMOUNT' WHERE name = '\xC7\x8Emount';"
          "PRAGMA user_version = 0;");

  PosixRegistry registry(prefix_);
  const struct {
    const char* label;
    std::u16string key, value;
  } rows[] = {
      {"as written", u"P\u01CEy", u"\u01CEmount"},
      {"other ASCII case", u"p\u01CEY", u"\u01CEMOUNT"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle key = 0;
    ASSERT_EQ(registry.OpenKey(reg::kCurrentUser, ToAnsi(row.key), reg::kKeyRead, key),
              reg::kSuccess);
    uint32_t type = 0, size = 8;
    uint8_t data[8] = {};
    EXPECT_EQ(registry.QueryValue(key, ToAnsi(row.value), &type, data, &size), reg::kSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "12\0"s);
    registry.CloseKey(key);
  }
  EXPECT_EQ(UserVersion(File()), kCurrentFoldRule);
  std::string name;
  EXPECT_EQ(registry.EnumKey(reg::kCurrentUser, 0, name), reg::kSuccess);
  EXPECT_EQ(name, key_name) << "the stored spelling stays";
}

// A store whose rows would collide once refolded (two spellings the old fold
// kept apart by hand) keeps both rows and stays usable.
TEST_F(RegistryFoldsTest, RowsThatWouldCollideAreKept) {
  {
    PosixRegistry registry(prefix_);
    RegHandle key = 0;
    ASSERT_EQ(registry.CreateKey(reg::kCurrentUser, ToAnsi(u"\u01CE"), reg::kKeyAllAccess, key),
              reg::kSuccess);
    registry.CloseKey(key);
  }
  Rewrite(File(),
          "INSERT INTO keys(parent, name, fold) VALUES(2, '\xC7\x8E', '\xC7\x8D');"
          "PRAGMA user_version = 0;");
  PosixRegistry registry(prefix_);
  RegHandle key = 0;
  EXPECT_EQ(registry.OpenKey(reg::kCurrentUser, ToAnsi(u"\u01CE"), reg::kKeyRead, key),
            reg::kSuccess);
  registry.CloseKey(key);
  std::string name;
  EXPECT_EQ(registry.EnumKey(reg::kCurrentUser, 1, name), reg::kSuccess);
  EXPECT_EQ(name, ToAnsi(u"\u01CE"));
  EXPECT_EQ(UserVersion(File()), kCurrentFoldRule);
}

}  // namespace
}  // namespace kavrolin::platform::posix
