#include "toolkit/fs/dir_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/services_in_prefix.h"

namespace kavrolin::toolkit::fs {
namespace {

namespace stdfs = std::filesystem;
using kavrolin::testing::WriteHostFile;

// The prefix's file system, keeping every directory creation it was asked for.
class RecordingFileSystem : public platform::posix::PosixFileSystem {
 public:
  using PosixFileSystem::PosixFileSystem;
  void CreateDirectory(TextView path) override {
    created.emplace_back(path);
    PosixFileSystem::CreateDirectory(path);
  }
  std::vector<Text> created;
};

class DirTreeTest : public ::testing::Test {
 protected:
  DirTreeTest() : files_(env_.prefix) {
    stdfs::create_directories(env_.C("Have/Deep"));
    WriteHostFile(env_.C("Have/file"), "x");
  }
  kavrolin::testing::ServicesInPrefix env_;
  RecordingFileSystem files_;
};

TEST_F(DirTreeTest, MakeDirectoryTrueOnlyWhenAFolderIsThere) {
  const struct {
    const char* label;
    Text path;
    bool expected;
  } rows[] = {
      // Boundaries: the drive root and a missing drive.
      {"drive root", u"C:\\", true},
      {"drive root without separator", u"C:", true},
      {"missing drive", u"Q:\\", false},
      // Folders.
      {"new folder", u"C:\\New", true},
      {"new folder with separator", u"C:\\New2\\", true},
      {"existing folder", u"C:\\Have", true},
      {"existing folder, other case", u"c:\\HAVE\\deep", true},
      // Refusals.
      {"existing file", u"C:\\Have\\file", false},
      {"missing parent", u"C:\\None\\Child", false},
      {"bad name", u"C:\\a|b", false},
      {"network path", u"\\\\server\\share\\dir", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(MakeDirectory(files_, row.path), row.expected);
    if (row.expected) {
      EXPECT_TRUE(files_.FolderExists(row.path));
    }
  }
  EXPECT_FALSE(stdfs::exists(env_.C("None")));
}

TEST_F(DirTreeTest, WalksEveryParentThenTheWholePath) {
  const struct {
    const char* label;
    Text strTree;
    bool expected;
    std::vector<Text> calls;
    const char* made;  // folder under drive_c that must exist afterwards
  } rows[] = {
      // Boundaries: no marker, the bare marker, the root alone.
      {"empty text", u"", false, {}, nullptr},
      {"drive without separator", u"C:", false, {}, nullptr},
      {"drive root", u"C:\\", true, {u"C:\\"}, ""},
      {"one folder", u"C:\\A", true, {u"C:\\", u"C:\\A"}, "A"},
      // The documented walks.
      {"no trailing separator", u"C:\\POS\\LOG", true,
       {u"C:\\", u"C:\\POS\\", u"C:\\POS\\LOG"}, "POS/LOG"},
      {"trailing separator", u"C:\\Till\\Log\\", true,
       {u"C:\\", u"C:\\Till\\", u"C:\\Till\\Log\\"}, "Till/Log"},
      {"all there already", u"C:\\Have\\Deep", true,
       {u"C:\\", u"C:\\Have\\", u"C:\\Have\\Deep"}, "Have/Deep"},
      {"lower-case drive, other case of existing folders", u"c:\\have\\DEEP\\x", true,
       {u"c:\\", u"c:\\have\\", u"c:\\have\\DEEP\\", u"c:\\have\\DEEP\\x"}, "Have/Deep/x"},
      {"chinese names", u"C:\\票据\\日志", true, {u"C:\\", u"C:\\票据\\", u"C:\\票据\\日志"},
       "票据/日志"},
      {"doubled separator", u"C:\\\\Dbl", true, {u"C:\\", u"C:\\\\", u"C:\\\\Dbl"}, "Dbl"},
      // Refused before anything is made.
      {"relative path", u"POS\\LOG", false, {}, nullptr},
      {"network path", u"\\\\server\\share\\dir", false, {}, nullptr},
      {"forward slashes", u"C:/POS/Fwd", false, {}, nullptr},
      // Stopped by the first refusal.
      {"missing drive", u"Q:\\POS\\LOG", false, {u"Q:\\"}, nullptr},
      {"file in the way", u"C:\\Have\\file\\sub", false,
       {u"C:\\", u"C:\\Have\\", u"C:\\Have\\file\\"}, nullptr},
      {"deepest name is a file", u"C:\\Have\\file", false, {u"C:\\", u"C:\\Have\\", u"C:\\Have\\file"},
       nullptr},
      {"bad name midway", u"C:\\a|b\\c", false, {u"C:\\", u"C:\\a|b\\"}, nullptr},
      {"marker after a bad drive", u"abc:\\def", false, {u"abc:\\"}, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    files_.created.clear();
    EXPECT_EQ(CreateDirTree(files_, row.strTree), row.expected);
    EXPECT_EQ(files_.created, row.calls);
    if (row.made) {
      EXPECT_TRUE(stdfs::is_directory(env_.C(stdfs::u8path(row.made))));
    }
  }
  EXPECT_FALSE(stdfs::exists(env_.C("Have/file/sub")));
}

TEST_F(DirTreeTest, PositionsBeyondSixteenBitsStopTheWalk) {
  // C:\ + name + \: the second separator sits at position name length + 4.
  // The name is too long for the file system, so the walk makes nothing
  // either way; what differs is whether it still reaches that separator.
  const struct {
    const char* label;
    size_t name_length;
    size_t calls;
  } rows[] = {
      {"separator at 32767 is reached", 32763, 2},
      {"separator at 32768 is not", 32764, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    files_.created.clear();
    EXPECT_FALSE(CreateDirTree(files_, u"C:\\" + Text(row.name_length, u'p') + u"\\"));
    EXPECT_EQ(files_.created.size(), row.calls);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::fs
