#include "platform/win32/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"
#include "support/error_of.h"
#include "win32_test_paths.h"

namespace kavrolin::platform::win32 {
namespace {

using testing::NativeText;
using testing::ReadHostFile;
using testing::TempDir;
using testing::WriteHostFile;
namespace fs = std::filesystem;

class Win32FileSystemTest : public ::testing::Test {
 protected:
  Text In(const std::string& name) const { return NativeText(dir.path() / name); }
  void MakeReadOnly(const std::string& name) {
    ASSERT_TRUE(::SetFileAttributesW((dir.path() / name).c_str(), FILE_ATTRIBUTE_READONLY));
  }

  TempDir dir;
  Win32FileSystem files;
};

TEST_F(Win32FileSystemTest, MissingItemsAnswerTheNumberOfWhatIsMissing) {
  struct Row {
    const char* label;
    std::string path;
    int number;
  };
  const std::vector<Row> rows = {
      {"empty path", "", 76},
      {"missing file in an existing folder", "nothing.txt", 53},
      {"file in a missing folder", "no-folder\\nothing.txt", 76},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const Text path = row.path.empty() ? Text() : In(row.path);
    EXPECT_EQ(row.number, testing::ErrorOf([&] { files.Stat(path); }));
    EXPECT_EQ(row.number, testing::ErrorOf([&] { files.ReadFile(path); }));
  }
}

TEST_F(Win32FileSystemTest, AppendAddsEachRecordWholeAtTheEnd) {
  const Text path = In("journal.txt");
  files.AppendFile(path, "first\r\n", true);
  files.AppendFile(path, "", true);
  files.AppendFile(path, "second\r\n", false);
  EXPECT_EQ("first\r\nsecond\r\n", ReadHostFile(dir.path() / "journal.txt"));
}

// Puts down half of what it is given, then refuses the rest as a full disk.
BOOL WINAPI HalfWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED at) {
  if (size > 1) return ::WriteFile(file, data, size / 2, written, at);
  ::SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

BOOL WINAPI FailingFlush(HANDLE) {
  ::SetLastError(ERROR_IO_DEVICE);
  return FALSE;
}

// The system calls an append makes, swapped for ones that fail, and put back
// when it goes.
class FailingFileCalls {
 public:
  FailingFileCalls() : saved_(FileCallsInUse()) {}
  ~FailingFileCalls() { FileCallsInUse() = saved_; }
  void CutWritesShort() { FileCallsInUse().write_file = HalfWrite; }
  void RefuseFlushes() { FileCallsInUse().flush_file_buffers = FailingFlush; }

 private:
  FileCalls saved_;
};

TEST_F(Win32FileSystemTest, AnAppendThatFailsPartWayLeavesTheEarlierBytesOnly) {
  struct Row {
    const char* label;
    bool cut_short;
    bool refuse_flush;
    bool sync;
    int error;
  };
  const Row rows[] = {
      {"a write cut short by a full disk", true, false, false, 61},
      {"a write cut short, with sync", true, false, true, 61},
      {"a flush that fails", false, true, true, 75},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const Text path = In("journal.txt");
    WriteHostFile(dir.path() / "journal.txt", "kept\r\n");
    {
      FailingFileCalls failing;
      if (row.cut_short) failing.CutWritesShort();
      if (row.refuse_flush) failing.RefuseFlushes();
      EXPECT_EQ(row.error, testing::ErrorOf([&] { files.AppendFile(path, "a record that fails\r\n", row.sync); }));
    }
    EXPECT_EQ("kept\r\n", ReadHostFile(dir.path() / "journal.txt")) << "no torn record";
    files.AppendFile(path, "next\r\n", true);
    EXPECT_EQ("kept\r\nnext\r\n", ReadHostFile(dir.path() / "journal.txt"));
  }
  FailingFileCalls failing;
  failing.RefuseFlushes();
  files.AppendFile(In("journal.txt"), "unsynced\r\n", false);  // no flush asked, none made
  EXPECT_EQ("kept\r\nnext\r\nunsynced\r\n", ReadHostFile(dir.path() / "journal.txt"));
}

TEST_F(Win32FileSystemTest, ConcurrentAppendsNeverInterleave) {
  const Text path = In("shared.txt");
  const std::string a(4000, 'a'), b(4000, 'b');
  std::thread one([&] {
    Win32FileSystem own;
    for (int i = 0; i < 50; ++i) own.AppendFile(path, a + "\n", false);
  });
  std::thread two([&] {
    Win32FileSystem own;
    for (int i = 0; i < 50; ++i) own.AppendFile(path, b + "\n", false);
  });
  one.join();
  two.join();
  const std::string bytes = ReadHostFile(dir.path() / "shared.txt");
  ASSERT_EQ(100u * 4001u, bytes.size());
  for (size_t at = 0; at < bytes.size(); at += 4001) {
    const std::string line = bytes.substr(at, 4000);
    EXPECT_TRUE(line == a || line == b) << "record at " << at << " is mixed";
  }
}

TEST_F(Win32FileSystemTest, ReplaceKeepsAttributesAndLeavesNoTemporaryFile) {
  WriteHostFile(dir.path() / "a.ini", "old");
  ASSERT_TRUE(::SetFileAttributesW((dir.path() / "a.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
  files.ReplaceFile(In("a.ini"), "new bytes");
  EXPECT_EQ("new bytes", ReadHostFile(dir.path() / "a.ini"));
  EXPECT_EQ(uint32_t{kAttrHidden}, files.Stat(In("a.ini")).attributes & (kAttrHidden | kAttrReadOnly));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  EXPECT_EQ(std::vector<std::string>{"a.ini"}, names);
}

TEST_F(Win32FileSystemTest, ReadOnlyFilesAreRefusedWithoutForce) {
  WriteHostFile(dir.path() / "locked.txt", "keep");
  MakeReadOnly("locked.txt");
  struct Row {
    const char* label;
    std::function<void()> call;
  };
  const std::vector<Row> rows = {
      {"append", [&] { files.AppendFile(In("locked.txt"), "x", false); }},
      {"replace", [&] { files.ReplaceFile(In("locked.txt"), "x"); }},
      {"delete without force", [&] { files.DeleteFile(In("locked.txt"), false); }},
      {"open as replacement", [&] { files.OpenBinary(In("locked.txt"), BinaryAccess::kReplacement); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(70, testing::ErrorOf(row.call));
    EXPECT_EQ("keep", ReadHostFile(dir.path() / "locked.txt"));
  }
  files.DeleteFile(In("locked.txt"), true);
  EXPECT_FALSE(files.FileExists(In("locked.txt")));
}

TEST_F(Win32FileSystemTest, DeleteFolderRefusesRootsAndTheCurrentFolder) {
  const fs::path current = fs::current_path();
  struct Row {
    const char* label;
    Text path;
    int number;
  };
  const std::vector<Row> rows = {
      {"a drive root", u"C:\\", 70},
      {"the current folder", NativeText(current), 70},
      {"a folder holding the current folder", NativeText(current.parent_path()), 70},
      {"a missing folder", In("missing"), 76},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.number, testing::ErrorOf([&] { files.DeleteFolder(row.path, true); }));
  }
  EXPECT_TRUE(fs::exists(current));
}

TEST_F(Win32FileSystemTest, DeleteFolderWithoutForceKeepsEverythingWhenOneFileIsReadOnly) {
  WriteHostFile(dir.path() / "tree" / "a.txt", "a");
  WriteHostFile(dir.path() / "tree" / "sub" / "b.txt", "b");
  MakeReadOnly("tree\\sub\\b.txt");
  EXPECT_EQ(70, testing::ErrorOf([&] { files.DeleteFolder(In("tree"), false); }));
  EXPECT_EQ("a", ReadHostFile(dir.path() / "tree" / "a.txt"));
  files.DeleteFolder(In("tree"), true);
  EXPECT_FALSE(fs::exists(dir.path() / "tree"));
}

TEST_F(Win32FileSystemTest, FindFilesMatchesWildcardsInUpperCaseOrder) {
  for (const char* name : {"b.txt", "A.TXT", "c.log", "d.txt"}) WriteHostFile(dir.path() / name, "x");
  ASSERT_TRUE(::SetFileAttributesW((dir.path() / "d.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  fs::create_directory(dir.path() / "e.txt");
  struct Row {
    const char* label;
    uint32_t attributes;
    std::vector<Text> names;
  };
  const std::vector<Row> rows = {
      {"plain files only", 0, {u"A.TXT", u"b.txt"}},
      {"with hidden", kAttrHidden, {u"A.TXT", u"b.txt", u"d.txt"}},
      {"with folders", kAttrDirectory, {u"A.TXT", u"b.txt", u"e.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.names, files.FindFiles(In("*.txt"), row.attributes));
  }
  EXPECT_TRUE(files.FindFiles(In("missing\\*.txt"), 0).empty());
  EXPECT_EQ(52, testing::ErrorOf([&] { files.FindFiles(In("w*\\a.txt"), 0); }));
}

TEST_F(Win32FileSystemTest, UncommittedReplacementLeavesTheOldFile) {
  WriteHostFile(dir.path() / "data.bin", "old");
  {
    auto file = files.OpenBinary(In("data.bin"), BinaryAccess::kReplacement);
    file->Write("never committed");
  }
  EXPECT_EQ("old", ReadHostFile(dir.path() / "data.bin"));
  {
    auto file = files.OpenBinary(In("data.bin"), BinaryAccess::kReplacement);
    file->Write("new");
    file->Commit();
  }
  EXPECT_EQ("new", ReadHostFile(dir.path() / "data.bin"));
  auto reader = files.OpenBinary(In("data.bin"), BinaryAccess::kRead);
  char buffer[8] = {};
  EXPECT_EQ(3u, reader->Read(buffer, sizeof buffer));
  EXPECT_EQ(0u, reader->Read(buffer, sizeof buffer));
}

}  // namespace
}  // namespace kavrolin::platform::win32
