#include "toolkit/log/log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "fakes/fake_module.h"
#include "fakes/faulty_file_system.h"
#include "fakes/services_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::toolkit::log {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

const LocalTime kNow{2024, 1, 31, 14, 5, 9, 0};

TEST(ResolveLogFileTest, FollowsTheFolderOrTheFileName) {
  const struct {
    const char* label;
    Text log_file;
    Text component_folder;
    Text expected;
  } rows[] = {
      // Boundaries first.
      {"empty: the day's file beside the component", u"", u"C:\\comp", u"C:\\comp\\2024-01-31.LOG"},
      {"empty, component at a drive root", u"", u"C:\\", u"C:\\2024-01-31.LOG"},
      {"a lone backslash", u"\\", u"C:\\comp", u"\\2024-01-31.LOG"},
      {"drive only", u"C:", u"C:\\comp", u"C:\\"},
      // Folders.
      {"folder", u"D:\\logs\\", u"C:\\comp", u"D:\\logs\\2024-01-31.LOG"},
      {"drive root", u"C:\\", u"C:\\comp", u"C:\\2024-01-31.LOG"},
      {"folder ending in a double backslash", u"D:\\logs\\\\", u"C:\\comp",
       u"D:\\logs\\2024-01-31.LOG"},
      {"relative folder", u"logs\\", u"C:\\comp", u"logs\\2024-01-31.LOG"},
      {"network folder loses one leading backslash", u"\\\\srv\\share\\", u"C:\\comp",
       u"\\srv\\share\\2024-01-31.LOG"},
      // Files: the extension goes and is not replaced.
      {"file", u"D:\\logs\\app.txt", u"C:\\comp", u"D:\\logs\\app"},
      {"file without extension is stable", u"D:\\logs\\app", u"C:\\comp", u"D:\\logs\\app"},
      {"only the last extension goes", u"D:\\logs\\a.b.c", u"C:\\comp", u"D:\\logs\\a.b"},
      {"file at a drive root", u"C:\\app.txt", u"C:\\comp", u"C:\\app"},
      {"bare name lies beside the component", u"app.log", u"C:\\comp", u"C:\\comp\\app"},
      {"bare name, component at a drive root", u"app.log", u"C:\\", u"C:\\app"},
      {"double backslashes collapse", u"C:\\\\logs\\\\app.txt", u"C:\\comp", u"C:\\logs\\app"},
      {"separators before the name all go", u"C:\\logs\\\\\\app.txt", u"C:\\comp", u"C:\\logs\\app"},
      {"three backslashes keep two", u"C:\\a\\\\\\b\\app.txt", u"C:\\comp", u"C:\\a\\\\b\\app"},
      {"network file", u"\\\\srv\\share\\app.txt", u"C:\\comp", u"\\srv\\share\\app"},
      {"forward slashes separate too", u"D:/logs/app.txt", u"C:\\comp", u"D:/logs\\app"},
      {"name that is all extension", u"D:\\logs\\.log", u"C:\\comp", u"D:\\logs\\"},
      {"daily name given as a file keeps no extension", u"D:\\logs\\2024-01-30.LOG", u"C:\\comp",
       u"D:\\logs\\2024-01-30"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ResolveLogFile(row.log_file, row.component_folder, kNow), row.expected);
  }
}

class WriteLogTest : public ::testing::Test {
 protected:
  WriteLogTest() {
    s_.services.module = std::make_shared<kavrolin::testing::FakeModule>(u"C:\\comp");
    fs::create_directories(s_.C("comp"));
    fs::create_directories(s_.C("logs"));
  }
  bool Write(const Text& code, const Text& desc) {
    return WriteLog(s_.services, m_strLogFile, m_logFolder, code, desc);
  }
  static std::string Line(const std::string& code_field, const std::string& desc,
                          const std::string& stamp = "2024-01-31 14:05:09") {
    return "[" + code_field + "] [" + stamp + "] \"" + desc + "\"\r\n";
  }

  kavrolin::testing::ServicesInPrefix s_;
  Text m_strLogFile;
  LogFolder m_logFolder;
};

TEST_F(WriteLogTest, LineFormat) {
  const struct {
    const char* label;
    Text code, desc;
    std::string expected;  // ANSI bytes, code page 936
  } rows[] = {
      {"empty code and description", u"", u"", Line("    ", "")},
      {"short code is padded", u"E1", u"paper out", Line("E1  ", "paper out")},
      {"four characters", u"ABCD", u"x", Line("ABCD", "x")},
      {"long code is cut", u"ABCDEFG", u"x", Line("ABCD", "x")},
      {"quotes and line breaks stay", u"Q", u"say \"hi\"\r\nnext", Line("Q   ", "say \"hi\"\r\nnext")},
      {"chinese in the code page", u"中", u"消费", Line("\xD6\xD0   ", "\xCF\xFB\xB7\xD1")},
      {"outside the code page", u"E", u"\U0001F600", Line("E   ", "??")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    fs::remove(s_.C("logs/app"));
    m_strLogFile = u"C:\\logs\\app.txt";
    EXPECT_TRUE(Write(row.code, row.desc));
    EXPECT_EQ(m_strLogFile, u"C:\\logs\\app");
    EXPECT_EQ(ReadHostFile(s_.C("logs/app")), row.expected);
  }
}

TEST_F(WriteLogTest, FileKeepsItsExtensionlessName) {
  m_strLogFile = u"c:\\LOGS\\app.txt";
  EXPECT_TRUE(Write(u"A", u"one"));
  EXPECT_EQ(m_strLogFile, u"c:\\LOGS\\app");
  s_.clock->Set({2024, 2, 1, 0, 0, 1, 0});
  EXPECT_TRUE(Write(u"B", u"two"));
  EXPECT_EQ(m_strLogFile, u"c:\\LOGS\\app");
  EXPECT_EQ(ReadHostFile(s_.C("logs/app")),
            Line("A   ", "one") + Line("B   ", "two", "2024-02-01 00:00:01"));
  EXPECT_FALSE(fs::exists(s_.C("logs/app.txt")));
}

TEST_F(WriteLogTest, FolderWritesTheCurrentDaysFileEveryDay) {
  m_strLogFile = u"C:\\logs\\";
  EXPECT_TRUE(Write(u"A", u"one"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\2024-01-31.LOG");
  EXPECT_TRUE(Write(u"B", u"two"));
  s_.clock->Set({2024, 2, 1, 0, 0, 1, 0});
  EXPECT_TRUE(Write(u"C", u"three"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\2024-02-01.LOG");
  EXPECT_EQ(ReadHostFile(s_.C("logs/2024-01-31.LOG")), Line("A   ", "one") + Line("B   ", "two"));
  EXPECT_EQ(ReadHostFile(s_.C("logs/2024-02-01.LOG")), Line("C   ", "three", "2024-02-01 00:00:01"));
  EXPECT_FALSE(fs::exists(s_.C("logs/2024-01-31")));
}

TEST_F(WriteLogTest, SettingLogFileAgainStartsAfresh) {
  m_strLogFile = u"C:\\logs\\";
  EXPECT_TRUE(Write(u"A", u"one"));
  m_strLogFile = u"C:\\logs\\other.txt";
  EXPECT_TRUE(Write(u"B", u"two"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\other");
  s_.clock->Set({2024, 2, 1, 0, 0, 1, 0});
  EXPECT_TRUE(Write(u"C", u"three"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\other");
  EXPECT_EQ(ReadHostFile(s_.C("logs/2024-01-31.LOG")), Line("A   ", "one"));
  // A folder set again after a file is a folder again.
  m_strLogFile = u"C:\\logs\\";
  EXPECT_TRUE(Write(u"D", u"four"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\2024-02-01.LOG");
}

TEST_F(WriteLogTest, EmptyLogFileWritesBesideTheComponentAtOnce) {
  EXPECT_TRUE(Write(u"A", u"one"));
  EXPECT_EQ(m_strLogFile, u"C:\\comp\\2024-01-31.LOG");
  s_.clock->Set({2024, 2, 1, 9, 0, 0, 0});
  EXPECT_TRUE(Write(u"B", u"two"));
  EXPECT_EQ(m_strLogFile, u"C:\\comp\\2024-02-01.LOG");
  EXPECT_EQ(ReadHostFile(s_.C("comp/2024-01-31.LOG")), Line("A   ", "one"));
  EXPECT_EQ(ReadHostFile(s_.C("comp/2024-02-01.LOG")), Line("B   ", "two", "2024-02-01 09:00:00"));
}

TEST_F(WriteLogTest, DriveRootBareNameAndDoubledBackslashes) {
  m_strLogFile = u"C:\\";
  EXPECT_TRUE(Write(u"A", u"root"));
  EXPECT_EQ(m_strLogFile, u"C:\\2024-01-31.LOG");
  EXPECT_EQ(ReadHostFile(s_.C("2024-01-31.LOG")), Line("A   ", "root"));

  m_strLogFile = u"app.log";
  EXPECT_TRUE(Write(u"B", u"bare"));
  EXPECT_EQ(m_strLogFile, u"C:\\comp\\app");
  EXPECT_EQ(ReadHostFile(s_.C("comp/app")), Line("B   ", "bare"));

  m_strLogFile = u"C:\\\\logs\\\\x.txt";
  EXPECT_TRUE(Write(u"C", u"doubled"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\x");
  EXPECT_EQ(ReadHostFile(s_.C("logs/x")), Line("C   ", "doubled"));
}

TEST_F(WriteLogTest, FailuresAnswerFalseAndKeepTheResolvedPath) {
  fs::create_directories(s_.C("logs/sub"));
  WriteHostFile(s_.C("logs/ro"), "kept\r\n");
  fs::permissions(s_.C("logs/ro"), fs::perms::owner_read | fs::perms::group_read);
  const struct {
    const char* label;
    Text log_file;
    Text resolved;
  } rows[] = {
      {"missing folder", u"C:\\none\\", u"C:\\none\\2024-01-31.LOG"},
      {"missing folder of a file", u"C:\\none\\app.txt", u"C:\\none\\app"},
      {"path names a folder", u"C:\\logs\\sub.txt", u"C:\\logs\\sub"},
      {"read-only file", u"C:\\logs\\ro.txt", u"C:\\logs\\ro"},
      {"missing drive", u"Q:\\logs\\", u"Q:\\logs\\2024-01-31.LOG"},
      {"network folder", u"\\\\srv\\share\\", u"\\srv\\share\\2024-01-31.LOG"},
      {"bad name", u"C:\\logs\\a|b.txt", u"C:\\logs\\a|b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    m_strLogFile = row.log_file;
    EXPECT_FALSE(Write(u"E", u"lost"));
    EXPECT_EQ(m_strLogFile, row.resolved);
    EXPECT_FALSE(Write(u"E", u"lost again"));  // the next call fails the same way
    EXPECT_EQ(m_strLogFile, row.resolved);
  }
  EXPECT_FALSE(fs::exists(s_.C("none")));
  EXPECT_EQ(ReadHostFile(s_.C("logs/ro")), "kept\r\n");
  EXPECT_TRUE(fs::is_directory(s_.C("logs/sub")));
}

TEST_F(WriteLogTest, NameThatIsAllExtensionResolvesToTheFolder) {
  // The first line meets the folder itself; LOGFile now names a folder, so
  // the next line goes to the day's file there.
  m_strLogFile = u"C:\\logs\\.txt";
  EXPECT_FALSE(Write(u"A", u"lost"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\");
  EXPECT_TRUE(Write(u"B", u"kept"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\2024-01-31.LOG");
  EXPECT_EQ(ReadHostFile(s_.C("logs/2024-01-31.LOG")), Line("B   ", "kept"));
}

TEST_F(WriteLogTest, NoFileSystemObjectChangesNothing) {
  auto faulty = std::make_shared<kavrolin::testing::FaultyFileSystem>(s_.services.files);
  faulty->FailCall("CreateObject", 1);
  s_.services.files = faulty;
  m_strLogFile = u"C:\\logs\\";
  EXPECT_FALSE(Write(u"E", u"x"));
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\");
  EXPECT_TRUE(Write(u"E", u"x"));  // the next object can be made
  EXPECT_EQ(m_strLogFile, u"C:\\logs\\2024-01-31.LOG");
}

TEST_F(WriteLogTest, AFailedWriteInAFolderStillFollowsTheDays) {
  m_strLogFile = u"C:\\later\\";
  EXPECT_FALSE(Write(u"A", u"lost"));
  fs::create_directories(s_.C("later"));
  s_.clock->Set({2024, 2, 1, 8, 0, 0, 0});
  EXPECT_TRUE(Write(u"B", u"kept"));
  EXPECT_EQ(m_strLogFile, u"C:\\later\\2024-02-01.LOG");
  EXPECT_FALSE(fs::exists(s_.C("later/2024-01-31.LOG")));
}

}  // namespace
}  // namespace kavrolin::toolkit::log
