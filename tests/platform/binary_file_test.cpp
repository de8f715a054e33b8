#include "platform/posix/binary_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include "platform/posix/file_system.h"
#include "support/error_of.h"
#include "files_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ErrorOf;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

class BinaryFileTest : public kavrolin::testing::FilesInPrefix {
 protected:
  void MakeReadOnly(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  std::string ReadAllOf(BinaryFile& file, size_t block) {
    std::string all;
    std::string buffer(block, '\0');
    for (;;) {
      const size_t n = file.Read(buffer.data(), block);
      all.append(buffer, 0, n);
      if (n < block) return all;
    }
  }
  // Files in a folder, the hidden new ones included.
  size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

};

TEST_F(BinaryFileTest, ReadGivesEveryByteAndStopsAtTheEnd) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i % 256);
  WriteHostFile(C("data.bin"), bytes);
  WriteHostFile(C("empty.bin"), "");
  const struct {
    const char* label;
    Text path;
    size_t block;
    std::string expected;
  } rows[] = {
      {"empty file", u"C:\\empty.bin", 16, ""},
      {"one byte at a time", u"C:\\data.bin", 1, bytes},
      {"block dividing the size", u"C:\\data.bin", 100, bytes},
      {"block larger than the file", u"C:\\DATA.BIN", 4096, bytes},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    auto file = files_.OpenBinary(row.path, BinaryAccess::kRead);
    EXPECT_EQ(ReadAllOf(*file, row.block), row.expected);
    char extra;
    EXPECT_EQ(file->Read(&extra, 1), 0u);
  }
}

TEST_F(BinaryFileTest, OpenRefusals) {
  fs::create_directories(C("dir"));
  WriteHostFile(C("ro.bin"), "old");
  MakeReadOnly(C("ro.bin"));
  const struct {
    const char* label;
    Text path;
    BinaryAccess access;
    int error;
  } rows[] = {
      {"read a missing file", u"C:\\none.bin", BinaryAccess::kRead, 53},
      {"read in a missing folder", u"C:\\none\\a.bin", BinaryAccess::kRead, 76},
      {"read a folder", u"C:\\dir", BinaryAccess::kRead, 75},
      {"read a drive root", u"C:\\", BinaryAccess::kRead, 75},
      {"read with a trailing separator", u"C:\\ro.bin\\", BinaryAccess::kRead, 75},
      {"read a bad name", u"C:\\a?.bin", BinaryAccess::kRead, 52},
      {"read on a missing drive", u"Q:\\a.bin", BinaryAccess::kRead, 76},
      {"replace a read-only file", u"C:\\ro.bin", BinaryAccess::kReplacement, 70},
      {"replace in a missing folder", u"C:\\none\\a.bin", BinaryAccess::kReplacement, 76},
      {"replace a folder", u"C:\\dir", BinaryAccess::kReplacement, 75},
      {"read a device, which has no end", u"/dev/zero", BinaryAccess::kRead, 75},
      {"replace a device", u"/dev/null", BinaryAccess::kReplacement, 75},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { files_.OpenBinary(row.path, row.access); }), row.error);
  }
  EXPECT_EQ(ReadHostFile(C("ro.bin")), "old");
  EXPECT_EQ(EntriesIn(C("")), 2u);  // dir and ro.bin: no new file left behind
}

TEST_F(BinaryFileTest, ReplacementShowsOnlyOnCommit) {
  WriteHostFile(C("out.bin"), "old contents");
  const size_t before = EntriesIn(C(""));
  {
    auto file = files_.OpenBinary(u"C:\\out.bin", BinaryAccess::kReplacement);
    file->Write("new");
    EXPECT_EQ(ReadHostFile(C("out.bin")), "old contents");
    EXPECT_EQ(EntriesIn(C("")), before + 1);  // the new file waits beside it
    file->Commit();
    EXPECT_EQ(ReadHostFile(C("out.bin")), "new");
    file->Commit();  // a second commit changes nothing
  }
  EXPECT_EQ(EntriesIn(C("")), before);
  EXPECT_EQ(ReadHostFile(C("out.bin")), "new");
}

TEST_F(BinaryFileTest, UncommittedReplacementLeavesThePathAsItWas) {
  WriteHostFile(C("out.bin"), "old");
  const size_t before = EntriesIn(C(""));
  {
    auto file = files_.OpenBinary(u"C:\\out.bin", BinaryAccess::kReplacement);
    file->Write("new");
  }
  {
    auto file = files_.OpenBinary(u"C:\\fresh.bin", BinaryAccess::kReplacement);
    file->Write("new");
  }
  EXPECT_EQ(ReadHostFile(C("out.bin")), "old");
  EXPECT_FALSE(fs::exists(C("fresh.bin")));
  EXPECT_EQ(EntriesIn(C("")), before);
}

TEST_F(BinaryFileTest, ReplacementIsANewPlainFile) {
  WriteHostFile(C("out.bin"), "old");
  files_.SetAttributes(u"C:\\out.bin", kAttrHidden | kAttrSystem);
  {
    auto file = files_.OpenBinary(u"C:\\out.bin", BinaryAccess::kReplacement);
    file->Write("new");
    file->Commit();
  }
  EXPECT_EQ(files_.Stat(u"C:\\out.bin").attributes, kAttrArchive);
  struct stat st;
  ASSERT_EQ(::stat(C("out.bin").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
}

}  // namespace
}  // namespace kavrolin::platform::posix
