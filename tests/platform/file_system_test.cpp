#include "platform/posix/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/common/file_system_object.h"
#include "support/error_of.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ErrorOf;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::ScopedEnv;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;

class FileSystemTest : public ::testing::Test {
 protected:
  FileSystemTest()
      : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")), files_(prefix_), fso_(files_) {
    prefix_->EnsureLayout();
  }
  fs::path C(const fs::path& relative) const { return dir_.path() / "pfx" / "drive_c" / relative; }
  static void MakeReadOnly(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }

  TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
  PosixFileSystem files_;
  FileSystemObject fso_;
};

TEST_F(FileSystemTest, ExistenceQueries) {
  WriteHostFile(C("POS/a.txt"), "x");
  const struct {
    const char* label;
    Text path;
    bool file, folder;
  } rows[] = {
      {"empty_path", u"", false, false},
      {"file", u"C:\\POS\\a.txt", true, false},
      {"file_other_case", u"c:\\pos\\A.TXT", true, false},
      {"file_with_trailing_separator", u"C:\\POS\\a.txt\\", false, false},
      {"folder", u"C:\\POS", false, true},
      {"drive_root", u"C:\\", false, true},
      {"missing", u"C:\\POS\\b.txt", false, false},
      {"missing_drive", u"Q:\\POS", false, false},
      {"network", u"\\\\srv\\share\\a.txt", false, false},
      {"bad_name", u"C:\\POS\\*.txt", false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(fso_.FileExists(row.path), row.file);
    EXPECT_EQ(fso_.FolderExists(row.path), row.folder);
  }
}

TEST_F(FileSystemTest, FolderCreation) {
  fs::create_directories(C("POS"));
  WriteHostFile(C("POS/f"), "");
  const struct {
    const char* label;
    std::function<void()> operation;
    int error;
  } rows[] = {
      {"creates_one_folder", [&] { fso_.CreateFolder(u"C:\\POS\\LOG"); }, 0},
      {"folder_exists", [&] { fso_.CreateFolder(u"C:\\pos"); }, 58},
      {"file_of_that_name", [&] { fso_.CreateFolder(u"C:\\POS\\f"); }, 58},
      {"parent_missing", [&] { fso_.CreateFolder(u"C:\\NO\\LOG"); }, 76},
      {"network", [&] { fso_.CreateFolder(u"\\\\srv\\share\\x"); }, 76},
      {"empty_path", [&] { files_.CreateDirectory(u""); }, 76},
      {"directory_exists_is_access_error", [&] { files_.CreateDirectory(u"C:\\POS"); }, 75},
      {"drive_root_is_access_error", [&] { files_.CreateDirectory(u"C:\\"); }, 75},
      {"missing_drive", [&] { files_.CreateDirectory(u"Q:\\"); }, 76},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf(row.operation), row.error);
  }
  EXPECT_TRUE(fs::is_directory(C("POS/LOG")));
}

TEST_F(FileSystemTest, FileDeletion) {
  WriteHostFile(C("d/plain.txt"), "1");
  WriteHostFile(C("d/locked.txt"), "2");
  MakeReadOnly(C("d/locked.txt"));
  const struct {
    const char* label;
    Text path;
    bool force;
    int error;
    bool gone;
  } rows[] = {
      {"empty_path", u"", true, 76, false},
      {"missing_file", u"C:\\d\\none.txt", false, 53, false},
      {"missing_folder", u"C:\\nodir\\x.txt", false, 76, false},
      {"folder_is_no_file", u"C:\\d", false, 53, false},
      {"read_only_refused_without_force", u"C:\\d\\locked.txt", false, 70, false},
      {"read_only_with_force", u"C:\\d\\locked.txt", true, 0, true},
      {"plain_file", u"c:\\D\\PLAIN.TXT", false, 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { fso_.DeleteFile(row.path, row.force); }), row.error);
    if (row.gone) {
      EXPECT_FALSE(fso_.FileExists(row.path));
    }
  }
  EXPECT_TRUE(fs::is_directory(C("d")));
}

TEST_F(FileSystemTest, FolderDeletionWithoutForceTouchesNothingWhenAnItemIsReadOnly) {
  WriteHostFile(C("tree/a.txt"), "a");
  WriteHostFile(C("tree/sub/b.txt"), "b");
  MakeReadOnly(C("tree/sub/b.txt"));
  EXPECT_EQ(ErrorOf([&] { fso_.DeleteFolder(u"C:\\tree"); }), 70);
  EXPECT_EQ(ReadHostFile(C("tree/a.txt")), "a");
  EXPECT_EQ(ReadHostFile(C("tree/sub/b.txt")), "b");

  EXPECT_EQ(ErrorOf([&] { fso_.DeleteFolder(u"C:\\TREE", true); }), 0);
  EXPECT_FALSE(fs::exists(C("tree")));
}

// Regression: the empty path once named the current folder, and a forced
// folder deletion took the whole working tree with it.
TEST_F(FileSystemTest, CurrentFolderAndWhatHoldsItAreNeverDeleted) {
  WriteHostFile(C("work/inner/keep.txt"), "keep");
  const fs::path saved = fs::current_path();
  fs::current_path(C("work/inner"));
  const struct {
    const char* label;
    Text path;
    int error;
  } rows[] = {
      {"empty_path", u"", 76},
      {"dot", u".", 70},
      {"current_folder_by_name", u"C:\\work\\inner", 70},
      {"folder_holding_it", u"C:\\work", 70},
      {"folder_holding_the_prefix", FromUtf8(dir_.path().string()), 70},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { fso_.DeleteFolder(row.path, true); }), row.error);
  }
  fs::current_path(saved);
  EXPECT_EQ(ReadHostFile(C("work/inner/keep.txt")), "keep");
}

TEST_F(FileSystemTest, FolderDeletionRefusals) {
  WriteHostFile(dir_.path() / "outside" / "keep.txt", "keep");
  fs::create_directories(C("links"));
  fs::create_directory_symlink(dir_.path() / "outside", C("links/out"));
  WriteHostFile(C("plain"), "");
  const struct {
    const char* label;
    Text path;
    int error;
  } rows[] = {
      {"missing", u"C:\\none", 76},
      {"file_is_no_folder", u"C:\\plain", 76},
      {"drive_root", u"C:\\", 70},
      {"host_root", u"/", 70},
      {"z_root", u"Z:\\", 70},
      {"folder_with_link_out", u"C:\\links", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { fso_.DeleteFolder(row.path, true); }), row.error);
  }
  // A link inside goes, what it points at stays.
  EXPECT_EQ(ReadHostFile(dir_.path() / "outside" / "keep.txt"), "keep");
}

TEST_F(FileSystemTest, Attributes) {
  WriteHostFile(C("a.txt"), "x");
  WriteHostFile(C(".hidden"), "x");
  fs::create_directories(C("dir"));
  EXPECT_EQ(files_.Stat(u"C:\\a.txt").attributes, kAttrArchive);
  EXPECT_EQ(files_.Stat(u"C:\\.hidden").attributes, kAttrArchive | kAttrHidden);
  EXPECT_EQ(files_.Stat(u"C:\\dir").attributes, kAttrDirectory);

  files_.SetAttributes(u"C:\\a.txt", kAttrReadOnly | kAttrHidden | kAttrArchive);
  EXPECT_EQ(files_.Stat(u"C:\\a.txt").attributes, kAttrReadOnly | kAttrHidden | kAttrArchive);
  char stored[16] = {};
  ASSERT_GT(::getxattr(C("a.txt").c_str(), "user.DOSATTRIB", stored, sizeof stored - 1), 0);
  EXPECT_STREQ(stored, "0x22");
  EXPECT_EQ(fs::status(C("a.txt")).permissions() & fs::perms::owner_write, fs::perms::none);

  files_.SetAttributes(u"C:\\a.txt", 0);
  EXPECT_EQ(files_.Stat(u"C:\\a.txt").attributes, 0u);
  EXPECT_NE(fs::status(C("a.txt")).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_EQ(ErrorOf([&] { files_.SetAttributes(u"C:\\none", 0); }), 53);
}

TEST_F(FileSystemTest, GetFileFacts) {
  ScopedEnv tz("TZ", "UTC");
  ::tzset();
  WriteHostFile(C("f.bin"), std::string(1234, 'x'));
  const timespec times[2] = {{0, UTIME_OMIT}, {1706702409, 0}};  // 2024-01-31 12:00:09 UTC
  ASSERT_EQ(::utimensat(AT_FDCWD, C("f.bin").c_str(), times, 0), 0);
  const FileFacts facts = fso_.GetFile(u"C:\\F.BIN");
  EXPECT_EQ(facts.size, 1234);
  EXPECT_EQ(facts.last_modified, (LocalTime{2024, 1, 31, 12, 0, 9, 0}));
  EXPECT_EQ(ErrorOf([&] { fso_.GetFile(u"C:\\none.bin"); }), 53);
  EXPECT_EQ(ErrorOf([&] { fso_.GetFile(u"C:\\"); }), 53);
}

TEST_F(FileSystemTest, TextFilesAreAnsi) {
  WriteHostFile(C("in.txt"), "\xCF\xFB\xB7\xD1\r\n");
  WriteHostFile(C("empty.txt"), "");
  EXPECT_EQ(fso_.ReadAll(u"C:\\in.txt"), u"消费\r\n");
  EXPECT_EQ(ErrorOf([&] { fso_.ReadAll(u"C:\\empty.txt"); }), 62);
  EXPECT_EQ(ErrorOf([&] { fso_.ReadAll(u"C:\\none.txt"); }), 53);
  EXPECT_EQ(ErrorOf([&] { fso_.ReadAll(u"C:\\nodir\\x.txt"); }), 76);

  fso_.AppendText(u"C:\\log.txt", u"消费");
  fso_.AppendText(u"C:\\LOG.TXT", u" ok");
  EXPECT_EQ(ReadHostFile(C("log.txt")), "\xCF\xFB\xB7\xD1 ok");

  fso_.CreateTextFile(u"C:\\in.txt", u"new");
  EXPECT_EQ(ReadHostFile(C("in.txt")), "new");
}

TEST_F(FileSystemTest, WriteRefusals) {
  fs::create_directories(C("dir"));
  WriteHostFile(C("ro.txt"), "keep");
  MakeReadOnly(C("ro.txt"));
  const struct {
    const char* label;
    std::function<void()> operation;
    int error;
  } rows[] = {
      {"append_missing_folder", [&] { fso_.AppendText(u"C:\\nodir\\a.txt", u"x"); }, 76},
      {"append_to_folder", [&] { fso_.AppendText(u"C:\\dir", u"x"); }, 70},
      {"append_read_only", [&] { fso_.AppendText(u"C:\\ro.txt", u"x"); }, 70},
      {"create_missing_folder", [&] { fso_.CreateTextFile(u"C:\\nodir\\a.txt", u"x"); }, 76},
      {"create_over_folder", [&] { fso_.CreateTextFile(u"C:\\dir", u"x"); }, 70},
      {"create_over_read_only", [&] { fso_.CreateTextFile(u"C:\\ro.txt", u"x"); }, 70},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf(row.operation), row.error);
  }
  EXPECT_EQ(ReadHostFile(C("ro.txt")), "keep");
  EXPECT_TRUE(fs::is_empty(C("dir")));
}

TEST_F(FileSystemTest, ReplaceKeepsAttributesAndLeavesNoTemporaryFile) {
  WriteHostFile(C("cfg/app.ini"), "old");
  files_.SetAttributes(u"C:\\cfg\\app.ini", kAttrHidden | kAttrArchive);
  // Not the mode a new temporary file starts with.
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(C("cfg/app.ini"), mode);
  files_.ReplaceFile(u"C:\\cfg\\app.ini", "new");
  EXPECT_EQ(ReadHostFile(C("cfg/app.ini")), "new");
  EXPECT_EQ(files_.Stat(u"C:\\cfg\\app.ini").attributes, kAttrHidden | kAttrArchive);
  EXPECT_EQ(fs::status(C("cfg/app.ini")).permissions(), mode);
  EXPECT_EQ(std::distance(fs::directory_iterator(C("cfg")), fs::directory_iterator()), 1);
}

TEST_F(FileSystemTest, ConcurrentAppendsKeepEveryLineWhole) {
  constexpr int kProcesses = 4;
  constexpr int kLines = 200;
  const std::string line(100, 'a');
  for (int p = 0; p < kProcesses; ++p) {
    if (::fork() == 0) {
      PosixFileSystem child(prefix_);
      for (int i = 0; i < kLines; ++i) {
        child.AppendFile(u"C:\\shared.log", std::to_string(p) + line + "\r\n", false);
      }
      ::_exit(0);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    ::wait(&status);
    EXPECT_EQ(status, 0);
  }
  std::istringstream in(ReadHostFile(C("shared.log")));
  int count = 0;
  for (std::string got; std::getline(in, got); ++count) {
    ASSERT_EQ(got.size(), line.size() + 2) << "line " << count;
    EXPECT_EQ(got.substr(1), line + "\r");
  }
  EXPECT_EQ(count, kProcesses * kLines);
}

// An append after the file was changed behind the object's back lands where
// the path now points, as an append that opened the path afresh would.
TEST_F(FileSystemTest, AppendFollowsThePathAfterTheFileChanged) {
  const struct {
    const char* label;
    std::function<void(const fs::path& file)> change;
    const char* at_path;   // the file at the path afterwards; nullptr: none
    const char* moved_to;  // what the file moved away holds; nullptr: not checked
    int error;             // of the second append
  } rows[] = {
      {"unchanged", [](const fs::path&) {}, "one\r\ntwo\r\n", nullptr, 0},
      {"deleted", [](const fs::path& f) { fs::remove(f); }, "two\r\n", nullptr, 0},
      {"renamed_away", [](const fs::path& f) { fs::rename(f, f.parent_path() / "old.log"); },
       "two\r\n", "one\r\n", 0},
      {"replaced", [](const fs::path& f) { WriteHostFile(f, "new\r\n"); }, "new\r\ntwo\r\n",
       nullptr, 0},
      {"replaced_by_rename",
       [](const fs::path& f) {
         WriteHostFile(f.parent_path() / "next.log", "next\r\n");
         fs::rename(f.parent_path() / "next.log", f);
       },
       "next\r\ntwo\r\n", nullptr, 0},
      {"made_read_only", [](const fs::path& f) { MakeReadOnly(f); }, "one\r\n", nullptr, 70},
      {"hard_linked_then_unlinked",
       [](const fs::path& f) {
         fs::create_hard_link(f, f.parent_path() / "old.log");
         fs::remove(f);
       },
       "two\r\n", "one\r\n", 0},
      {"folder_gone", [](const fs::path& f) { fs::remove_all(f.parent_path()); }, nullptr, nullptr,
       76},
      {"folder_renamed_away",
       [](const fs::path& f) { fs::rename(f.parent_path(), f.parent_path().string() + ".old"); },
       nullptr, nullptr, 76},
      {"folder_replaced",
       [](const fs::path& f) {
         const fs::path folder = f.parent_path();
         fs::rename(folder, folder.string() + ".old");
         WriteHostFile(f, "new\r\n");
       },
       "new\r\ntwo\r\n", nullptr, 0},
  };
  // After one append the handle is checked by looking the path up; after two
  // it is watched.
  for (const int appends : {1, 2}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.label) + " after " + std::to_string(appends));
      const std::string folder = "log_" + std::to_string(appends) + "_" + row.label;
      const fs::path file = C(folder + "/day.log");
      const fs::path moved = file.parent_path() / "old.log";
      WriteHostFile(file, "");
      const Text path = u"C:\\" + AsciiText(folder) + u"\\day.log";
      if (appends == 1) {
        files_.AppendFile(path, "one\r\n", false);
      } else {
        files_.AppendFile(path, "o", false);
        files_.AppendFile(path, "ne\r\n", false);
      }
      row.change(file);
      EXPECT_EQ(ErrorOf([&] { files_.AppendFile(path, "two\r\n", false); }), row.error);
      if (row.at_path != nullptr) {
        EXPECT_EQ(ReadHostFile(file), row.at_path);
      } else {
        EXPECT_FALSE(fs::exists(file));
      }
      if (row.moved_to != nullptr) {
        EXPECT_EQ(ReadHostFile(moved), row.moved_to);
      }
    }
  }
}

// A drive link pointed elsewhere moves the appends with it.
TEST_F(FileSystemTest, AppendFollowsADriveLinkPointedElsewhere) {
  const fs::path link = dir_.path() / "pfx" / "dosdevices" / "c:";
  const fs::path was = fs::read_symlink(link);
  WriteHostFile(C("LOG/day.log"), "");
  WriteHostFile(dir_.path() / "pfx" / "other_c" / "LOG" / "day.log", "");
  for (const char* line : {"a\r\n", "b\r\n"}) files_.AppendFile(u"C:\\LOG\\day.log", line, false);
  fs::remove(link);
  fs::create_directory_symlink("../other_c", link);
  files_.AppendFile(u"C:\\LOG\\day.log", "c\r\n", false);
  fs::remove(link);
  fs::create_directory_symlink(was, link);
  EXPECT_EQ(ReadHostFile(C("LOG/day.log")), "a\r\nb\r\n");
  EXPECT_EQ(ReadHostFile(dir_.path() / "pfx" / "other_c" / "LOG" / "day.log"), "c\r\n");
}

TEST_F(FileSystemTest, ThreadsAppendingThroughOneObjectKeepEveryLine) {
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      // Two files in turn, so the kept handle keeps changing hands.
      for (int i = 0; i < kLines; ++i) {
        files_.AppendFile(i % 2 ? u"C:\\a.log" : u"C:\\b.log", std::to_string(t) + "\n", false);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  const std::string all = ReadHostFile(C("a.log")) + ReadHostFile(C("b.log"));
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), kThreads * kLines);
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(std::count(all.begin(), all.end(), '0' + t), kLines) << "thread " << t;
  }
}

TEST_F(FileSystemTest, SpecialFolders) {
  WriteHostFile(C("tmp/x"), "");
  ScopedEnv tmp("TMPDIR", C("tmp").string());
  EXPECT_EQ(fso_.GetSpecialFolder(0), u"C:\\windows");
  EXPECT_EQ(fso_.GetSpecialFolder(1), u"C:\\windows\\system32");
  EXPECT_TRUE(fs::is_directory(C("windows/system32")));
  EXPECT_EQ(fso_.GetSpecialFolder(2), u"C:\\tmp");
  EXPECT_EQ(ErrorOf([&] { fso_.GetSpecialFolder(3); }), 5);
  EXPECT_EQ(ErrorOf([&] { fso_.GetSpecialFolder(-1); }), 5);
}

}  // namespace
}  // namespace kavrolin::platform::posix
