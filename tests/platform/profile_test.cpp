#include "platform/posix/profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/file_system.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest()
      : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")),
        files_(std::make_shared<PosixFileSystem>(prefix_)),
        cache_(std::make_shared<ProfileCache>()),
        profile_(prefix_, files_, cache_) {
    prefix_->EnsureLayout();
    fs::create_directories(C("POS"));
  }
  fs::path C(const fs::path& relative) const { return dir_.path() / "pfx" / "drive_c" / relative; }
  std::string Get(const char* section, const char* key, const Text& file) {
    char buffer[256];
    const uint32_t n = profile_.GetString(section, key, "", buffer, sizeof buffer, file);
    return std::string(buffer, n);
  }

  TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
  std::shared_ptr<PosixFileSystem> files_;
  std::shared_ptr<ProfileCache> cache_;
  PosixProfile profile_;
};

TEST_F(ProfileTest, WhereFilesLie) {
  const struct {
    const char* label;
    Text file;
    bool written;
    fs::path host;
  } rows[] = {
      {"bare_name_in_the_windows_folder", u"app.ini", true, "windows/app.ini"},
      {"full_path", u"C:\\POS\\pos.ini", true, "POS/pos.ini"},
      {"missing_folder", u"C:\\None\\a.ini", false, "None/a.ini"},
      {"empty_name", u"", false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(profile_.WriteString("S", "k", "v", row.file), row.written);
    if (row.written) {
      EXPECT_EQ(ReadHostFile(C(row.host)), "[S]\r\nk=v\r\n");
      EXPECT_EQ(Get("s", "K", row.file), "v");
    } else if (!row.host.empty()) {
      EXPECT_FALSE(fs::exists(C(row.host)));
    }
  }
}

// A write edits what it read under the lock: the text this process wrote
// last is taken again only while the file holds exactly its bytes.
TEST_F(ProfileTest, WritesReuseTheirOwnTextOnlyWhileTheFileIsUnchanged) {
  const Text file = u"C:\\POS\\pos.ini";
  ASSERT_TRUE(profile_.WriteString("S", "a", "1", file));
  const uint64_t first = cache_->write_parses();
  ASSERT_TRUE(profile_.WriteString("S", "b", "2", file));
  ASSERT_TRUE(profile_.WriteString("T", "c", "3", file));
  EXPECT_EQ(cache_->write_parses(), first) << "writes after its own write parse nothing";
  EXPECT_EQ(ReadHostFile(C("POS/pos.ini")), "[S]\r\na=1\r\nb=2\r\n[T]\r\nc=3\r\n");

  const struct {
    const char* label;
    std::string outside;  // the file another writer leaves
    std::string expected;
  } rows[] = {
      {"same_size_other_bytes", "[S]\r\na=9\r\nb=2\r\n[T]\r\nc=3\r\n",
       "[S]\r\na=9\r\nb=2\r\n[T]\r\nc=4\r\n"},
      {"shorter", "[T]\r\nc=3\r\n", "[T]\r\nc=4\r\n"},
      {"emptied", "", "[T]\r\nc=4\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_TRUE(profile_.WriteString("T", "c", "3", file));
    WriteHostFile(C("POS/pos.ini"), row.outside);
    const uint64_t before = cache_->write_parses();
    ASSERT_TRUE(profile_.WriteString("T", "c", "4", file));
    EXPECT_EQ(cache_->write_parses(), before + 1);
    EXPECT_EQ(ReadHostFile(C("POS/pos.ini")), row.expected);
  }
}

TEST_F(ProfileTest, ReadOnlyFileStaysUnwritten) {
  WriteHostFile(C("POS/ro.ini"), "[S]\r\nk=1\r\n");
  fs::permissions(C("POS/ro.ini"), fs::perms::owner_read);
  EXPECT_FALSE(profile_.WriteString("S", "k", "2", u"C:\\POS\\ro.ini"));
  EXPECT_EQ(ReadHostFile(C("POS/ro.ini")), "[S]\r\nk=1\r\n");
}

TEST_F(ProfileTest, ReadsNeverMissAReplacedFile) {
  WriteHostFile(C("POS/a.ini"), "[S]\r\nk=1\r\n");
  EXPECT_EQ(Get("S", "k", u"C:\\POS\\a.ini"), "1");
  // Same size, same second: another process's replace must still be seen.
  WriteHostFile(C("POS/b.ini"), "[S]\r\nk=2\r\n");
  fs::rename(C("POS/b.ini"), C("POS/a.ini"));
  EXPECT_EQ(Get("S", "k", u"C:\\POS\\a.ini"), "2");
}

TEST_F(ProfileTest, RewriteGoesThroughTheLockAndNeverCreates) {
  EXPECT_FALSE(profile_.Rewrite(u"C:\\POS\\none.ini", [](const std::string& b) { return b; }));
  EXPECT_FALSE(fs::exists(C("POS/none.ini")));
  WriteHostFile(C("POS/r.ini"), "[S]\r\n");
  EXPECT_TRUE(profile_.Rewrite(u"C:\\POS\\r.ini",
                               [](const std::string& b) { return b + ";added\r\n"; }));
  EXPECT_EQ(ReadHostFile(C("POS/r.ini")), "[S]\r\n;added\r\n");
}

TEST_F(ProfileTest, ConcurrentWritersLoseNoUpdate) {
  constexpr int kProcesses = 4;
  constexpr int kKeys = 250;
  for (int p = 0; p < kProcesses; ++p) {
    if (::fork() == 0) {
      PosixProfile writer(prefix_, files_, std::make_shared<ProfileCache>());
      bool ok = true;
      for (int i = 0; i < kKeys; ++i) {
        const std::string key = "p" + std::to_string(p) + "k" + std::to_string(i);
        ok &= writer.WriteString("S", key.c_str(), "value", u"C:\\POS\\shared.ini");
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (int p = 0; p < kProcesses; ++p) {
    int status = 0;
    ::wait(&status);
    EXPECT_EQ(status, 0);
  }
  for (int p = 0; p < kProcesses; ++p) {
    for (int i = 0; i < kKeys; ++i) {
      const std::string key = "p" + std::to_string(p) + "k" + std::to_string(i);
      ASSERT_EQ(Get("S", key.c_str(), u"C:\\POS\\shared.ini"), "value") << key;
    }
  }
}

TEST_F(ProfileTest, KilledWriterNeverLeavesAHalfWrittenFile) {
  for (int round = 0; round < 10; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int i = 0;; ++i) {
        const std::string key = "k" + std::to_string(i);
        profile_.WriteString("S", key.c_str(), "complete-value", u"C:\\POS\\kill.ini");
      }
    }
    ::usleep(20000);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string bytes = ReadHostFile(C("POS/kill.ini"));
    if (bytes.empty()) continue;
    ASSERT_EQ(bytes.rfind("[S]\r\n", 0), 0u);
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(Get("S", "k0", u"C:\\POS\\kill.ini"), "complete-value");
  }
}

}  // namespace
}  // namespace kavrolin::platform::posix
