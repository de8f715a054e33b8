#include "platform/posix/path_watch.h"

#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;

FileIdentity IdentityOf(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return FileIdentity::Of(st);
}

// A prefix's shape: a drive link into a drive folder, a file two folders down.
class PathWatchTest : public ::testing::Test {
 public:
  void SetUp() override {
    struct statfs st {};
    ASSERT_EQ(::statfs(dir_.path().c_str(), &st), 0);
    const auto type = static_cast<unsigned long>(st.f_type);
    if (type != EXT4_SUPER_MAGIC && type != TMPFS_MAGIC && type != XFS_SUPER_MAGIC &&
        type != BTRFS_SUPER_MAGIC && type != OVERLAYFS_SUPER_MAGIC) {
      GTEST_SKIP() << "the temporary folder's file system is one the watch does not trust";
    }
    fs::create_directories(root() / "dosdevices");
    fs::create_directory_symlink("../drive_c", root() / "dosdevices" / "c:");
    WriteHostFile(file(), "x");
    WriteHostFile(root() / "drive_c" / "YHLOG" / "sibling.txt", "y");
  }
  fs::path root() const { return dir_.path() / "pfx"; }
  fs::path file() const { return root() / "drive_c" / "YHLOG" / "day.txt"; }
  std::string linked() const {
    return (root() / "dosdevices" / "c:" / "YHLOG" / "day.txt").string();
  }

 private:
  TempDir dir_;
};

TEST_F(PathWatchTest, TellsEveryChangeToWhatThePathPassesThrough) {
  const struct {
    const char* label;
    std::function<void(const PathWatchTest&)> change;
    bool unchanged;
  } rows[] = {
      {"nothing", [](const PathWatchTest&) {}, true},
      // Work inside the folders, and on the file's data, leaves the path as it is.
      {"file_appended_and_cut",
       [](const PathWatchTest& t) {
         WriteHostFile(t.file(), "more");
         fs::resize_file(t.file(), 1);
       },
       true},
      {"sibling_made_and_touched",
       [](const PathWatchTest& t) {
         const fs::path other = t.file().parent_path() / "other.txt";
         WriteHostFile(other, "");
         fs::permissions(other, fs::perms::owner_read);
         fs::last_write_time(t.file().parent_path() / "sibling.txt", fs::file_time_type{});
       },
       true},
      {"subfolder_made_and_removed",
       [](const PathWatchTest& t) {
         fs::create_directory(t.file().parent_path() / "sub");
         fs::remove(t.file().parent_path() / "sub");
       },
       true},
      {"file_renamed_away",
       [](const PathWatchTest& t) { fs::rename(t.file(), t.file().string() + ".old"); }, false},
      {"file_removed", [](const PathWatchTest& t) { fs::remove(t.file()); }, false},
      {"file_replaced_by_rename",
       [](const PathWatchTest& t) {
         fs::rename(t.file().parent_path() / "sibling.txt", t.file());
       },
       false},
      {"file_made_read_only",
       [](const PathWatchTest& t) { fs::permissions(t.file(), fs::perms::owner_read); }, false},
      {"file_linked_elsewhere",
       [](const PathWatchTest& t) { fs::create_hard_link(t.file(), t.root() / "copy.txt"); },
       false},
      {"folder_renamed",
       [](const PathWatchTest& t) {
         fs::rename(t.file().parent_path(), t.root() / "drive_c" / "OLD");
       },
       false},
      {"drive_folder_renamed",
       [](const PathWatchTest& t) { fs::rename(t.root() / "drive_c", t.root() / "drive_x"); },
       false},
      {"drive_link_pointed_elsewhere",
       [](const PathWatchTest& t) {
         const fs::path link = t.root() / "dosdevices" / "c:";
         fs::create_directory_symlink("../drive_c", t.root() / "dosdevices" / "next");
         fs::rename(t.root() / "dosdevices" / "next", link);
       },
       false},
      {"links_folder_renamed",
       [](const PathWatchTest& t) {
         fs::rename(t.root() / "dosdevices", t.root() / "devices");
       },
       false},
      {"prefix_renamed",
       [](const PathWatchTest& t) { fs::rename(t.root(), t.root().string() + "2"); }, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    fs::remove_all(root());  // each row on a tree of its own
    SetUp();
    PathWatch watch = PathWatch::Of(linked(), IdentityOf(file()));
    ASSERT_TRUE(watch.Unchanged());
    row.change(*this);
    EXPECT_EQ(watch.Unchanged(), row.unchanged);
    EXPECT_EQ(watch.Unchanged(), row.unchanged) << "asked twice";
    fs::remove_all(root().string() + "2");
  }
}

TEST_F(PathWatchTest, OnceChangedStaysChanged) {
  PathWatch watch = PathWatch::Of(linked(), IdentityOf(file()));
  ASSERT_TRUE(watch.Unchanged());
  fs::rename(file(), file().string() + ".old");
  fs::rename(file().string() + ".old", file());
  EXPECT_FALSE(watch.Unchanged());
  EXPECT_FALSE(watch.Unchanged());
}

TEST_F(PathWatchTest, WatchesOnlyAPathThatEndsAtTheExpectedEntry) {
  const FileIdentity identity = IdentityOf(file());
  const struct {
    const char* label;
    std::string path;
    FileIdentity expected;
    bool unchanged;
  } rows[] = {
      {"through_the_link", linked(), identity, true},
      {"the_drive_folder_itself", file().string(), identity, true},
      {"with_dot_and_dot_dot",
       (root() / "dosdevices" / "." / "c:" / "YHLOG" / ".." / "YHLOG" / "day.txt").string(),
       identity, true},
      {"another_file", (file().parent_path() / "sibling.txt").string(), identity, false},
      {"no_such_file", (file().parent_path() / "none.txt").string(), identity, false},
      {"below_a_file", file().string() + "/x", identity, false},
      {"relative", "pfx/drive_c/YHLOG/day.txt", identity, false},
      {"empty", "", identity, false},
      {"never_made", linked(), FileIdentity{}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(PathWatch::Of(row.path, row.expected).Unchanged(), row.unchanged);
  }
  EXPECT_FALSE(PathWatch().Unchanged());
}

}  // namespace
}  // namespace kavrolin::platform::posix
