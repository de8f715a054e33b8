#include "toolkit/fs/object_wrappers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/variant.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::toolkit::fs {
namespace {

namespace stdfs = std::filesystem;
using kavrolin::testing::ScopedEnv;
using kavrolin::testing::WriteHostFile;

// The prefix's file system, keeping every deletion it was asked for.
class RecordingFileSystem : public platform::posix::PosixFileSystem {
 public:
  using PosixFileSystem::PosixFileSystem;
  void DeleteFile(TextView path, bool force) override {
    deletions.emplace_back(path);
    PosixFileSystem::DeleteFile(path, force);
  }
  void DeleteFolder(TextView path, bool force) override {
    deletions.emplace_back(path);
    PosixFileSystem::DeleteFolder(path, force);
  }
  std::vector<Text> deletions;
};

// Every deletion here names a path inside the test's own prefix; the current
// folder is the test process's throwaway one all the same.
class ObjectWrappersTest : public ::testing::Test {
 protected:
  ObjectWrappersTest() : files_(env_.prefix), fso_(files_.CreateObject()) {
    WriteHostFile(env_.C("POS/a.txt"), "a");
    stdfs::create_directories(env_.C("POS/Sub"));
  }
  platform::FileSystemObject* fso() { return fso_.get(); }
  static void MakeReadOnly(const stdfs::path& p) {
    stdfs::permissions(p, stdfs::perms::owner_write | stdfs::perms::group_write |
                              stdfs::perms::others_write,
                       stdfs::perm_options::remove);
  }

  kavrolin::testing::ServicesInPrefix env_;
  RecordingFileSystem files_;
  std::unique_ptr<platform::FileSystemObject> fso_;
};

TEST_F(ObjectWrappersTest, AnswersOfTheObjectAndTheFallbackWithoutIt) {
  using Fso = platform::FileSystemObject*;
  using Query = std::function<Variant(Fso)>;
  const struct {
    const char* label;
    Query query;
    Variant with_object;
    Variant without_object;
  } rows[] = {
      // Boundaries: empty texts give the fallback either way.
      {"drive: empty", [](Fso o) { return Variant(DriveExists(o, u"")); }, Variant(false),
       Variant(false)},
      {"base name: empty", [](Fso o) { return Variant(GetBaseName(o, u"")); }, Variant(u""),
       Variant(u"")},
      // A real answer of the object, and none without it.
      {"drive", [](Fso o) { return Variant(DriveExists(o, u"c:")); }, Variant(true),
       Variant(false)},
      {"missing drive", [](Fso o) { return Variant(DriveExists(o, u"Q:")); }, Variant(false),
       Variant(false)},
      {"file", [](Fso o) { return Variant(FileExists(o, u"c:\\pos\\A.TXT")); }, Variant(true),
       Variant(false)},
      {"folder is no file", [](Fso o) { return Variant(FileExists(o, u"C:\\POS\\Sub")); },
       Variant(false), Variant(false)},
      {"folder", [](Fso o) { return Variant(FolderExists(o, u"C:\\POS\\Sub\\")); }, Variant(true),
       Variant(false)},
      {"folder on a network path", [](Fso o) { return Variant(FolderExists(o, u"\\\\s\\x\\POS")); },
       Variant(false), Variant(false)},
      {"base name", [](Fso o) { return Variant(GetBaseName(o, u"C:\\POS\\r.2024.txt")); },
       Variant(u"r.2024"), Variant(u"")},
      {"drive name", [](Fso o) { return Variant(GetDriveName(o, u"c:\\POS\\a.txt")); },
       Variant(u"c:"), Variant(u"")},
      {"extension", [](Fso o) { return Variant(GetExtensionName(o, u"C:\\POS\\r.TXT")); },
       Variant(u"TXT"), Variant(u"")},
      {"file name outside the code page",
       [](Fso o) { return Variant(GetFileName(o, u"C:\\POS\\\u0E01.txt")); },
       Variant(u"\u0E01.txt"), Variant(u"")},
      {"parent", [](Fso o) { return Variant(GetParentFolderName(o, u"C:\\POS")); },
       Variant(u"C:\\"), Variant(u"")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.query(fso()), row.with_object);
    EXPECT_EQ(row.query(nullptr), row.without_object);
  }
}

TEST_F(ObjectWrappersTest, DeleteFileOnlyWhenItExists) {
  WriteHostFile(env_.C("POS/ro.txt"), "r");
  WriteHostFile(env_.C("POS/ro2.txt"), "r");
  MakeReadOnly(env_.C("POS/ro.txt"));
  MakeReadOnly(env_.C("POS/ro2.txt"));
  WriteHostFile(env_.C("POS/\u0E01.txt"), "t");
  const struct {
    const char* label;
    Text filespec;
    bool force;
    bool expected;
    bool tried;         // the deletion was asked for
    const char* stays;  // item under drive_c still there afterwards; null: the file is gone
  } rows[] = {
      // Boundaries: nothing there, then read-only with and without force.
      {"missing file", u"C:\\POS\\none.txt", true, false, false, "POS"},
      {"read-only without force", u"C:\\POS\\ro.txt", false, false, true, "POS/ro.txt"},
      {"read-only with force", u"C:\\POS\\ro2.txt", true, true, true, nullptr},
      // Names and things that are no file.
      {"other letter case", u"c:\\pos\\A.TXT", false, true, true, nullptr},
      {"name outside the code page", u"C:\\POS\\\u0E01.txt", false, true, true, nullptr},
      {"folder", u"C:\\POS\\Sub", true, false, false, "POS/Sub"},
      {"wildcard", u"C:\\POS\\*.txt", true, false, false, "POS/ro.txt"},
      {"relative name of nothing", u"POS\\a.txt", true, false, false, "POS"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    files_.deletions.clear();
    bool force = row.force;
    EXPECT_EQ(DeleteFile(fso(), row.filespec, force), row.expected);
    EXPECT_EQ(force, row.force);
    EXPECT_EQ(files_.deletions.size(), row.tried ? 1u : 0u);
    if (row.stays) {
      EXPECT_TRUE(stdfs::exists(env_.C(row.stays)));
    } else {
      EXPECT_FALSE(files_.FileExists(row.filespec));
    }
  }
  WriteHostFile(env_.C("POS/a.txt"), "a");
  bool force = true;
  EXPECT_FALSE(DeleteFile(nullptr, u"C:\\POS\\a.txt", force));
  EXPECT_TRUE(stdfs::exists(env_.C("POS/a.txt")));
}

TEST_F(ObjectWrappersTest, DeleteFolderOnlyWhenItExists) {
  WriteHostFile(env_.C("T/Plain/Inner/x.txt"), "x");
  WriteHostFile(env_.C("T/HoldsRo/ro.txt"), "r");
  MakeReadOnly(env_.C("T/HoldsRo/ro.txt"));
  stdfs::create_directories(env_.C("T/RoFolder"));
  MakeReadOnly(env_.C("T/RoFolder"));
  const struct {
    const char* label;
    Text folderspec;
    bool force;
    bool expected;
    bool tried;
    const char* stays;  // null: the folder is gone
  } rows[] = {
      // Boundaries: nothing there, the drive root, read-only with and without force.
      {"missing folder", u"C:\\T\\None", true, false, false, "T"},
      {"drive root is never deleted", u"C:\\", true, false, true, "T/Plain/Inner/x.txt"},
      {"read-only file inside, no force", u"C:\\T\\HoldsRo", false, false, true,
       "T/HoldsRo/ro.txt"},
      {"read-only file inside, force", u"C:\\T\\HoldsRo", true, true, true, nullptr},
      {"read-only folder, no force", u"C:\\T\\RoFolder", false, false, true, "T/RoFolder"},
      {"read-only folder, force", u"C:\\T\\RoFolder", true, true, true, nullptr},
      // Ordinary deletion, with everything inside.
      {"folder with contents, other case", u"c:\\t\\PLAIN\\", false, true, true, nullptr},
      // Not a folder.
      {"file", u"C:\\POS\\a.txt", true, false, false, "POS/a.txt"},
      {"missing drive", u"Q:\\T", true, false, false, "T"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    files_.deletions.clear();
    bool force = row.force;
    EXPECT_EQ(DeleteFolder(fso(), row.folderspec, force), row.expected);
    EXPECT_EQ(force, row.force);
    EXPECT_EQ(files_.deletions.size(), row.tried ? 1u : 0u);
    if (row.stays) {
      EXPECT_TRUE(stdfs::exists(env_.C(row.stays)));
    } else {
      EXPECT_FALSE(files_.FolderExists(row.folderspec));
    }
  }
  bool force = true;
  EXPECT_FALSE(DeleteFolder(nullptr, u"C:\\POS\\Sub", force));
  EXPECT_TRUE(stdfs::exists(env_.C("POS/Sub")));
}

TEST_F(ObjectWrappersTest, SpecialFolders) {
  const auto inside = env_.C("Temp");
  stdfs::create_directories(inside);
  const struct {
    const char* label;
    int32_t folderspec;
    std::optional<std::string> tmpdir;
    Text expected;
  } rows[] = {
      // Boundaries: just outside the enumeration on both sides.
      {"below the enumeration", -1, std::nullopt, u""},
      {"windows folder", 0, std::nullopt, u"C:\\windows"},
      {"system folder", 1, std::nullopt, u"C:\\windows\\system32"},
      {"temporary folder inside drive C", 2, inside.string(), u"C:\\Temp"},
      {"above the enumeration", 3, std::nullopt, u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ScopedEnv tmpdir("TMPDIR", row.tmpdir);
    EXPECT_EQ(GetSpecialFolder(fso(), row.folderspec), row.expected);
    EXPECT_EQ(GetSpecialFolder(nullptr, row.folderspec), u"");
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::fs
