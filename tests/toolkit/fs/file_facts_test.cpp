#include "toolkit/fs/file_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "base/automation_error.h"
#include "base/date_mask.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::toolkit::fs {
namespace {

namespace stdfs = std::filesystem;
using kavrolin::testing::WriteHostFile;

// A file system whose file-system object cannot be made.
class NoObjectFileSystem : public platform::posix::PosixFileSystem {
 public:
  using PosixFileSystem::PosixFileSystem;
  std::unique_ptr<platform::FileSystemObject> CreateObject() override {
    throw AutomationError(429, u"ActiveX component can't create object");
  }
};

class FileFactsTest : public ::testing::Test {
 protected:
  FileFactsTest() : files_(*env_.services.files) {
    stdfs::create_directories(env_.C("POS/Folder"));
    WriteHostFile(env_.C("POS/empty.txt"), "");
    WriteHostFile(env_.C("POS/one.txt"), "1");
    WriteHostFile(env_.C("POS/收据.txt"), "\xCA\xD5\xBE\xDD");
  }
  // A sparse file of the given length.
  void SparseFile(const char* name, off_t length) {
    const auto path = env_.C(stdfs::path("POS") / name);
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, length), 0);
    ::close(fd);
  }
  kavrolin::testing::ServicesInPrefix env_;
  platform::FileSystem& files_;
};

TEST_F(FileFactsTest, SizeOrZero) {
  SparseFile("largest.bin", 2147483647);
  SparseFile("toolarge.bin", 2147483648);
  const struct {
    const char* label;
    Text Filename;
    int32_t expected;
  } rows[] = {
      // Boundaries: empty, one byte, the largest 32-bit size and one beyond.
      {"empty file", u"C:\\POS\\empty.txt", 0},
      {"one byte", u"C:\\POS\\one.txt", 1},
      {"2,147,483,647 bytes", u"C:\\POS\\largest.bin", 2147483647},
      {"2,147,483,648 bytes do not fit", u"C:\\POS\\toolarge.bin", 0},
      // Names.
      {"other case", u"c:\\pos\\ONE.TXT", 1},
      {"chinese name", u"C:\\POS\\收据.txt", 4},
      // Failures.
      {"missing file", u"C:\\POS\\none.txt", 0},
      {"folder", u"C:\\POS\\Folder", 0},
      {"missing drive", u"Q:\\one.txt", 0},
      {"network path", u"\\\\server\\share\\one.txt", 0},
      {"bad name", u"C:\\POS\\on?.txt", 0},
      {"empty name", u"", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text Filename = row.Filename;
    EXPECT_EQ(GetFileSize(files_, Filename), row.expected);
    EXPECT_EQ(Filename, row.Filename);
  }
}

TEST_F(FileFactsTest, ModificationTimeThroughTheMask) {
  // 2024-02-29 23:58:07 local time.
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 1;
  local.tm_mday = 29;
  local.tm_hour = 23;
  local.tm_min = 58;
  local.tm_sec = 7;
  local.tm_isdst = -1;
  const time_t when = std::mktime(&local);
  const timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, env_.C("POS/one.txt").c_str(), times, 0), 0);
  const LocalTime modified{2024, 2, 29, 23, 58, 7, 0};

  const struct {
    const char* label;
    Text pFileName;
    Text pMaskStr;
    Text expected;
  } rows[] = {
      // Boundaries: the empty mask gives what the formatter gives for it.
      {"empty mask", u"C:\\POS\\one.txt", u"", FormatDateMask(modified, u"")},
      {"default mask: twelve digits", u"C:\\POS\\one.txt", kDefaultModifiedMask, u"202402292358"},
      {"date and time, minutes after the hour", u"C:\\POS\\one.txt", u"YYYY-MM-DD HH:MM:SS",
       u"2024-02-29 23:58:07"},
      {"lower-case tokens", u"C:\\POS\\one.txt", u"yyyymmdd", u"20240229"},
      {"text around the tokens", u"C:\\POS\\one.txt", u"[DD/MM] ", u"[29/02] "},
      {"week tokens", u"C:\\POS\\one.txt", u"ww w", u"9 5"},
      // Failures give the empty text.
      {"missing file", u"C:\\POS\\none.txt", kDefaultModifiedMask, u""},
      {"folder", u"C:\\POS\\Folder", kDefaultModifiedMask, u""},
      {"missing drive", u"Q:\\one.txt", kDefaultModifiedMask, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text pFileName = row.pFileName, pMaskStr = row.pMaskStr;
    EXPECT_EQ(GetFileLastModiTime(files_, pFileName, pMaskStr), row.expected);
    EXPECT_EQ(pFileName, row.pFileName);
    EXPECT_EQ(pMaskStr, row.pMaskStr);
  }
}

TEST_F(FileFactsTest, NoFileSystemObjectGivesTheFallbacks) {
  NoObjectFileSystem files(env_.prefix);
  Text name = u"C:\\POS\\one.txt", mask = kDefaultModifiedMask;
  EXPECT_EQ(GetFileSize(files, name), 0);
  EXPECT_EQ(GetFileLastModiTime(files, name, mask), u"");
}

}  // namespace
}  // namespace kavrolin::toolkit::fs
