// PosixFileSystem's directory search and file identity.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/file_system.h"
#include "support/error_of.h"
#include "files_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ErrorOf;
using kavrolin::testing::WriteHostFile;
using Names = std::vector<Text>;

class FileSystemSearchTest : public kavrolin::testing::FilesInPrefix {
 protected:

};

TEST_F(FileSystemSearchTest, FindFilesWithSearchAttributes) {
  fs::create_directories(C("T/sub.tmp"));
  for (const char* name : {"b.tmp", "A.TMP", "ro.tmp", "hid.tmp", "sys.tmp", ".dot.tmp", "c.txt",
                           "d.tmp.bak", "noext"}) {
    WriteHostFile(C("T") / name, "x");
  }
  files_.SetAttributes(u"C:\\T\\ro.tmp", kAttrReadOnly);
  files_.SetAttributes(u"C:\\T\\hid.tmp", kAttrHidden);
  files_.SetAttributes(u"C:\\T\\sys.tmp", kAttrSystem);
  const struct {
    const char* label;
    Text pattern;
    uint32_t attributes;
    Names names;
  } rows[] = {
      // Boundaries first.
      {"empty name part finds nothing", u"C:\\T\\", 0, {}},
      {"missing folder finds nothing", u"C:\\none\\*.tmp", 0, {}},
      {"nothing matches", u"C:\\T\\*.zip", 0, {}},
      {"normal files, read-only included, in name order", u"C:\\T\\*.tmp", 0,
       {u"A.TMP", u"b.tmp", u"ro.tmp"}},
      {"hidden ones on request", u"C:\\T\\*.tmp", kAttrHidden,
       {u".dot.tmp", u"A.TMP", u"b.tmp", u"hid.tmp", u"ro.tmp"}},
      {"system ones on request", u"C:\\T\\*.tmp", kAttrSystem,
       {u"A.TMP", u"b.tmp", u"ro.tmp", u"sys.tmp"}},
      {"folders on request", u"C:\\T\\*.tmp", kAttrDirectory,
       {u"A.TMP", u"b.tmp", u"ro.tmp", u"sub.tmp"}},
      {"read-only bit asks for nothing more", u"C:\\T\\*.tmp", kAttrReadOnly,
       {u"A.TMP", u"b.tmp", u"ro.tmp"}},
      {"exact name without wildcards", u"C:\\T\\b.tmp", 0, {u"b.tmp"}},
      {"exact name, other case", u"C:\\T\\B.TMP", 0, {u"b.tmp"}},
      {"exact name of a hidden file", u"C:\\T\\hid.tmp", 0, {}},
      {"folder in other case", u"c:\\t\\*.txt", 0, {u"c.txt"}},
      {"forward slashes", u"C:/T/*.txt", 0, {u"c.txt"}},
      {"names without extension", u"C:\\T\\*.", 0, {u"noext"}},
      {"question marks", u"C:\\T\\?.tmp", 0, {u"A.TMP", u"b.tmp"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(files_.FindFiles(row.pattern, row.attributes), row.names);
  }
}

TEST_F(FileSystemSearchTest, FindFilesFailures) {
  fs::create_directories(C("T"));
  EXPECT_EQ(ErrorOf([&] { files_.FindFiles(u"Q:\\*.tmp", 0); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_.FindFiles(u"\\\\server\\share\\*.tmp", 0); }), 76);
  EXPECT_EQ(ErrorOf([&] { files_.FindFiles(u"C:\\T*\\a.tmp", 0); }), 52);
}

TEST_F(FileSystemSearchTest, FindFilesLeavesOutNamesNoWindowsPathReaches) {
  fs::create_directories(C("T"));
  WriteHostFile(C("T/ok.tmp"), "");
  WriteHostFile(C("T/a\\b.tmp"), "");
  WriteHostFile(C("T/q?.tmp"), "");
  WriteHostFile(C("T/dot.tmp."), "");
  WriteHostFile(C("T") / std::string("bad\xff.tmp"), "");
  EXPECT_EQ(files_.FindFiles(u"C:\\T\\*", 0), Names{u"ok.tmp"});
}

TEST_F(FileSystemSearchTest, FindFilesInTheCurrentFolderAndDriveRoot) {
  WriteHostFile(C("T/here.tmp"), "");
  WriteHostFile(C("root.tmp"), "");
  const fs::path saved = fs::current_path();
  fs::current_path(C("T"));
  const Names here = files_.FindFiles(u"*.tmp", 0);
  fs::current_path(saved);
  EXPECT_EQ(here, Names{u"here.tmp"});
  EXPECT_EQ(files_.FindFiles(u"C:*.tmp", 0), Names{u"root.tmp"});
}

TEST_F(FileSystemSearchTest, SameFile) {
  WriteHostFile(C("a.bin"), "x");
  WriteHostFile(C("b.bin"), "x");
  fs::create_hard_link(C("a.bin"), C("hard.bin"));
  fs::create_symlink(C("a.bin"), C("soft.bin"));
  const struct {
    const char* label;
    Text a, b;
    bool same;
  } rows[] = {
      {"missing both", u"C:\\x", u"C:\\x", false},
      {"missing one", u"C:\\a.bin", u"C:\\x", false},
      {"same text", u"C:\\a.bin", u"C:\\a.bin", true},
      {"other case", u"C:\\a.bin", u"c:\\A.BIN", true},
      {"other file, same content", u"C:\\a.bin", u"C:\\b.bin", false},
      {"hard link", u"C:\\a.bin", u"C:\\hard.bin", true},
      {"symbolic link", u"C:\\soft.bin", u"C:\\a.bin", true},
      {"host path", u"C:\\a.bin", FromUtf8(C("a.bin").string()), true},
      {"bad name", u"C:\\a*.bin", u"C:\\a.bin", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(files_.SameFile(row.a, row.b), row.same);
  }
}

}  // namespace
}  // namespace kavrolin::platform::posix
