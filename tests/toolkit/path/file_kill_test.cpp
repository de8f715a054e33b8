#include "toolkit/path/file_kill.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "fakes/faulty_file_system.h"
#include "fakes/services_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::toolkit::path {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::FaultyFileSystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;
using Names = std::set<std::string>;

Names All() {
  return {"a.tmp", "b.tmp", "ro.tmp", "hid.tmp", "sys.tmp", ".dot.tmp", "a$b.tmp", "keep.txt",
          "dir.tmp"};
}
Names AllBut(std::initializer_list<const char*> gone) {
  Names names = All();
  for (const char* name : gone) names.erase(name);
  return names;
}

// C:\T holds a.tmp, b.tmp, read-only ro.tmp, hidden hid.tmp, system sys.tmp,
// dot-hidden .dot.tmp, a$b.tmp, keep.txt and the folder dir.tmp.
struct KillFolder {
  KillFolder() {
    for (const char* name :
         {"a.tmp", "b.tmp", "ro.tmp", "hid.tmp", "sys.tmp", ".dot.tmp", "a$b.tmp", "keep.txt"}) {
      WriteHostFile(s_.C("T") / name, "x");
    }
    fs::create_directories(s_.C("T/dir.tmp"));
    files().SetAttributes(u"C:\\T\\ro.tmp", platform::kAttrReadOnly);
    files().SetAttributes(u"C:\\T\\hid.tmp", platform::kAttrHidden);
    files().SetAttributes(u"C:\\T\\sys.tmp", platform::kAttrSystem);
  }
  platform::FileSystem& files() { return *s_.services.files; }
  bool Kill(platform::FileSystem& on, const Text& name, bool read_only) {
    return FileKill(on, name, read_only);
  }
  bool Kill(const Text& name, bool read_only) { return Kill(files(), name, read_only); }
  Names Left() {
    Names names;
    for (const auto& entry : fs::directory_iterator(s_.C("T"))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  kavrolin::testing::ServicesInPrefix s_;
};

class FileKillTest : public ::testing::Test, protected KillFolder {};

// Each row runs on a fresh folder.
struct KillRow {
  const char* label;
  Text sFilename;
  bool bDeleteReadOnly;
  bool result;
  Names left;
};
void RunRows(std::initializer_list<KillRow> rows) {
  for (const KillRow& row : rows) {
    SCOPED_TRACE(row.label);
    KillFolder fresh;
    EXPECT_EQ(fresh.Kill(row.sFilename, row.bDeleteReadOnly), row.result);
    EXPECT_EQ(fresh.Left(), row.left);
  }
}

TEST(FileKillRowsTest, OneFile) {
  RunRows({
      // Boundaries first.
      {"empty name", u"", false, false, All()},
      {"missing file", u"C:\\T\\none.tmp", false, false, All()},
      {"missing file, clearing attributes", u"C:\\T\\none.tmp", true, false, All()},
      {"missing folder", u"C:\\none\\a.tmp", false, false, All()},
      {"a folder is no file", u"C:\\T\\dir.tmp", false, false, All()},
      {"question mark is no wildcard here", u"C:\\T\\?.tmp", false, false, All()},
      // Deletions.
      {"normal file", u"C:\\T\\a.tmp", false, true, AllBut({"a.tmp"})},
      {"other letter case", u"c:\\t\\A.TMP", false, true, AllBut({"a.tmp"})},
      {"read-only file stays", u"C:\\T\\ro.tmp", false, false, All()},
      {"read-only file with clearing", u"C:\\T\\ro.tmp", true, true, AllBut({"ro.tmp"})},
      {"hidden file named directly", u"C:\\T\\hid.tmp", false, true, AllBut({"hid.tmp"})},
      {"system file with clearing", u"C:\\T\\sys.tmp", true, true, AllBut({"sys.tmp"})},
  });
}

TEST(FileKillRowsTest, Patterns) {
  RunRows({
      // Boundaries first.
      {"matches nothing", u"C:\\T\\*.zip", false, true, All()},
      {"missing folder", u"C:\\none\\*.tmp", false, true, All()},
      {"missing drive", u"Q:\\T\\*.tmp", false, false, All()},
      {"wildcard in the folder part", u"C:\\T*\\a.tmp", false, false, All()},
      {"dollar without wildcard names one file", u"C:\\T\\a$b.tmp", false, true,
       AllBut({"a$b.tmp"})},
      // The normal search leaves hidden and system files and folders.
      {"read-only match stays and fails the call", u"C:\\T\\*.tmp", false, false,
       AllBut({"a.tmp", "b.tmp", "a$b.tmp"})},
      {"read-only match cleared and deleted", u"C:\\T\\*.tmp", true, true,
       AllBut({"a.tmp", "b.tmp", "a$b.tmp", "ro.tmp"})},
      {"every name", u"C:\\T\\*.*", true, true, Names{"hid.tmp", "sys.tmp", ".dot.tmp", "dir.tmp"}},
      {"other letter case", u"c:\\t\\A*.TMP", false, true, AllBut({"a.tmp", "a$b.tmp"})},
      {"question marks beside a star", u"C:\\T\\?.t*", false, true, AllBut({"a.tmp", "b.tmp"})},
      {"forward slashes", u"C:/T/b*", false, true, AllBut({"b.tmp"})},
      {"drive-relative", u"C:T\\k*", false, true, AllBut({"keep.txt"})},
  });
}

TEST_F(FileKillTest, HiddenFileOfADollarNameIsNotFound) {
  files().SetAttributes(u"C:\\T\\a$b.tmp", platform::kAttrHidden);
  EXPECT_TRUE(Kill(u"C:\\T\\a$b.tmp", true));
  EXPECT_EQ(Left(), All());
}

TEST_F(FileKillTest, ALockedMatchDoesNotStopTheOthers) {
  FaultyFileSystem faulty(s_.services.files);
  faulty.FailPath("DeleteFile", u"C:\\T\\b.tmp");
  EXPECT_FALSE(Kill(faulty, u"C:\\T\\*.tmp", true));
  EXPECT_EQ(Left(), AllBut({"a.tmp", "a$b.tmp", "ro.tmp"}));
}

TEST_F(FileKillTest, AFailedAttributeChangeStillTriesTheDeletion) {
  FaultyFileSystem faulty(s_.services.files);
  faulty.FailPath("SetAttributes", u"C:\\T\\a.tmp");
  EXPECT_FALSE(Kill(faulty, u"C:\\T\\a.tmp", true));
  EXPECT_EQ(faulty.calls("DeleteFile"), 1);
  EXPECT_EQ(Left(), AllBut({"a.tmp"}));
}

TEST_F(FileKillTest, AFailedSearchDeletesNothing) {
  FaultyFileSystem faulty(s_.services.files);
  faulty.FailCall("FindFiles", 1);
  EXPECT_FALSE(Kill(faulty, u"C:\\T\\*.tmp", false));
  EXPECT_EQ(Left(), All());
}

TEST_F(FileKillTest, PatternTooLongForItsFolderDeletesNothing) {
  FaultyFileSystem faulty(s_.services.files);
  EXPECT_FALSE(Kill(faulty, u"C:\\T\\" + Text(32770, u'x') + u"*", false));
  EXPECT_EQ(faulty.calls("FindFiles"), 0);
  EXPECT_EQ(Left(), All());
}

// Regression: the folder ParsePath finds ends at the last "\"; a "/" after it
// is where the search looked, so the names found belong there and not to a
// file of the same name one folder up.
TEST_F(FileKillTest, NamesFoundBelowASlashAreDeletedWhereTheyWereFound) {
  WriteHostFile(s_.C("a.tmp"), "bait");
  fs::create_directories(s_.C("T/sub"));
  WriteHostFile(s_.C("T/sub/a.tmp"), "x");
  EXPECT_TRUE(Kill(u"C:\\T/sub/*.tmp", false));
  EXPECT_FALSE(fs::exists(s_.C("T/sub/a.tmp")));
  EXPECT_EQ(ReadHostFile(s_.C("a.tmp")), "bait");
  Names expected = All();
  expected.insert("sub");
  EXPECT_EQ(Left(), expected);
}

// A pattern without a folder searches, and deletes in, the current folder
// only (the test process runs in a temporary one).
TEST_F(FileKillTest, RelativePatternStaysInTheCurrentFolder) {
  const fs::path here = fs::current_path() / "filekill-relative";
  fs::create_directories(here / "inner");
  WriteHostFile(here / "x.tmp", "x");
  WriteHostFile(here / "inner" / "y.tmp", "y");
  EXPECT_TRUE(Kill(u"filekill-relative\\*.tmp", false));
  EXPECT_FALSE(fs::exists(here / "x.tmp"));
  EXPECT_TRUE(fs::exists(here / "inner" / "y.tmp"));
  EXPECT_EQ(Left(), All());
  fs::remove_all(here);
}

}  // namespace
}  // namespace kavrolin::toolkit::path
