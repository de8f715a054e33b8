#include "toolkit/fs/object_wrappers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "fakes/services_in_prefix.h"

namespace kavrolin::toolkit::fs {
namespace {

namespace stdfs = std::filesystem;
using kavrolin::testing::ScopedEnv;
using kavrolin::testing::WriteHostFile;

// Every deletion here names a path inside the test's own prefix; the current
// folder is the test process's throwaway one all the same.
class ObjectWrappersTest : public ::testing::Test {
 protected:
  ObjectWrappersTest() : fso_(env_.services.files->CreateObject()) {
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
  std::unique_ptr<platform::FileSystemObject> fso_;
};

TEST_F(ObjectWrappersTest, ExistenceQueries) {
  const struct {
    const char* label;
    std::function<bool(platform::FileSystemObject*, const Text&)> query;
    Text spec;
    bool expected;
  } rows[] = {
      // Boundaries: empty texts and drive roots.
      {"drive: empty", DriveExists, u"", false},
      {"drive: letter", DriveExists, u"C", true},
      {"drive: letter and colon, lower case", DriveExists, u"c:", true},
      {"drive: root", DriveExists, u"C:\\", true},
      {"drive: path on it", DriveExists, u"C:\\no\\such", true},
      {"drive: host root link", DriveExists, u"Z:", true},
      {"drive: no link", DriveExists, u"Q:", false},
      {"drive: not a letter", DriveExists, u"1:", false},
      {"drive: network path", DriveExists, u"\\\\server\\share", false},
      {"file: empty", FileExists, u"", false},
      {"file: there", FileExists, u"C:\\POS\\a.txt", true},
      {"file: other case", FileExists, u"c:\\pos\\A.TXT", true},
      {"file: folder", FileExists, u"C:\\POS\\Sub", false},
      {"file: missing", FileExists, u"C:\\POS\\b.txt", false},
      {"file: missing drive", FileExists, u"Q:\\POS\\a.txt", false},
      {"file: network path", FileExists, u"\\\\server\\share\\a.txt", false},
      {"file: wildcard", FileExists, u"C:\\POS\\*.txt", false},
      {"folder: drive root", FolderExists, u"C:\\", true},
      {"folder: there", FolderExists, u"C:\\POS\\Sub", true},
      {"folder: trailing separator", FolderExists, u"C:\\POS\\Sub\\", true},
      {"folder: file", FolderExists, u"C:\\POS\\a.txt", false},
      {"folder: missing", FolderExists, u"C:\\POS\\None", false},
      {"folder: missing drive", FolderExists, u"Q:\\", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.query(fso(), row.spec), row.expected);
    // Without the object every query answers false.
    EXPECT_FALSE(row.query(nullptr, row.spec));
  }
}

TEST_F(ObjectWrappersTest, DeleteFileOnlyWhenItExists) {
  WriteHostFile(env_.C("POS/plain.txt"), "p");
  WriteHostFile(env_.C("POS/ro.txt"), "r");
  WriteHostFile(env_.C("POS/ro2.txt"), "r");
  WriteHostFile(env_.C("POS/收据.txt"), "c");
  MakeReadOnly(env_.C("POS/ro.txt"));
  MakeReadOnly(env_.C("POS/ro2.txt"));
  const struct {
    const char* label;
    Text filespec;
    bool force;
    bool expected;
    const char* gone;    // file under drive_c deleted by the call
    const char* stays;   // item under drive_c still there afterwards
  } rows[] = {
      // Boundaries: nothing there, then read-only with and without force.
      {"missing file", u"C:\\POS\\none.txt", false, false, nullptr, "POS"},
      {"read-only without force", u"C:\\POS\\ro.txt", false, false, nullptr, "POS/ro.txt"},
      {"read-only with force", u"C:\\POS\\ro2.txt", true, true, "POS/ro2.txt", "POS"},
      // Ordinary deletions.
      {"plain file", u"c:\\pos\\PLAIN.TXT", false, true, "POS/plain.txt", "POS"},
      {"chinese name", u"C:\\POS\\收据.txt", true, true, "POS/收据.txt", "POS"},
      // Not a file.
      {"folder", u"C:\\POS\\Sub", true, false, nullptr, "POS/Sub"},
      {"wildcard", u"C:\\POS\\*.txt", true, false, nullptr, "POS/a.txt"},
      {"missing drive", u"Q:\\a.txt", true, false, nullptr, "POS/a.txt"},
      {"network path", u"\\\\server\\share\\a.txt", true, false, nullptr, "POS/a.txt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    bool force = row.force;
    EXPECT_EQ(DeleteFile(fso(), row.filespec, force), row.expected);
    EXPECT_EQ(force, row.force);
    if (row.gone) {
      EXPECT_FALSE(stdfs::exists(env_.C(stdfs::u8path(row.gone))));
    }
    EXPECT_TRUE(stdfs::exists(env_.C(stdfs::u8path(row.stays))));
  }
  bool force = true;
  EXPECT_FALSE(DeleteFile(nullptr, u"C:\\POS\\a.txt", force));
  EXPECT_TRUE(stdfs::exists(env_.C("POS/a.txt")));
}

TEST_F(ObjectWrappersTest, DeleteFolderOnlyWhenItExists) {
  stdfs::create_directories(env_.C("T/Plain/Inner"));
  WriteHostFile(env_.C("T/Plain/Inner/x.txt"), "x");
  WriteHostFile(env_.C("T/HoldsRo/ro.txt"), "r");
  MakeReadOnly(env_.C("T/HoldsRo/ro.txt"));
  WriteHostFile(env_.C("T/HoldsRo2/ro.txt"), "r");
  MakeReadOnly(env_.C("T/HoldsRo2/ro.txt"));
  stdfs::create_directories(env_.C("T/RoFolder"));
  MakeReadOnly(env_.C("T/RoFolder"));
  stdfs::create_directories(env_.C("T/RoFolder2"));
  MakeReadOnly(env_.C("T/RoFolder2"));
  const struct {
    const char* label;
    Text folderspec;
    bool force;
    bool expected;
    const char* gone;
    const char* stays;
  } rows[] = {
      // Boundaries: nothing there, the drive root, read-only with and without force.
      {"missing folder", u"C:\\T\\None", true, false, nullptr, "T"},
      {"drive root is never deleted", u"C:\\", true, false, nullptr, "T/Plain/Inner/x.txt"},
      {"read-only file inside, no force", u"C:\\T\\HoldsRo", false, false, nullptr,
       "T/HoldsRo/ro.txt"},
      {"read-only file inside, force", u"C:\\T\\HoldsRo2", true, true, "T/HoldsRo2", "T"},
      {"read-only folder, no force", u"C:\\T\\RoFolder", false, false, nullptr, "T/RoFolder"},
      {"read-only folder, force", u"C:\\T\\RoFolder2", true, true, "T/RoFolder2", "T"},
      // Ordinary deletion, with everything inside.
      {"folder with contents, other case", u"c:\\t\\PLAIN\\", false, true, "T/Plain", "T"},
      // Not a folder.
      {"file", u"C:\\POS\\a.txt", true, false, nullptr, "POS/a.txt"},
      {"missing drive", u"Q:\\T", true, false, nullptr, "T"},
      {"network path", u"\\\\server\\share\\T", true, false, nullptr, "T"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    bool force = row.force;
    EXPECT_EQ(DeleteFolder(fso(), row.folderspec, force), row.expected);
    EXPECT_EQ(force, row.force);
    if (row.gone) {
      EXPECT_FALSE(stdfs::exists(env_.C(row.gone)));
    }
    EXPECT_TRUE(stdfs::exists(env_.C(row.stays)));
  }
  bool force = true;
  EXPECT_FALSE(DeleteFolder(nullptr, u"C:\\POS\\Sub", force));
  EXPECT_TRUE(stdfs::exists(env_.C("POS/Sub")));
}

TEST_F(ObjectWrappersTest, PathParts) {
  const struct {
    const char* label;
    std::function<Text(platform::FileSystemObject*, const Text&)> part;
    Text path;
    Text expected;
  } rows[] = {
      // Boundaries: empty text and drive roots.
      {"base name: empty", GetBaseName, u"", u""},
      {"base name: drive root", GetBaseName, u"C:\\", u""},
      {"base name", GetBaseName, u"C:\\POS\\rpt.2024.txt", u"rpt.2024"},
      {"base name: no extension", GetBaseName, u"C:\\POS\\README", u"README"},
      {"drive name: empty", GetDriveName, u"", u""},
      {"drive name", GetDriveName, u"c:\\POS\\a.txt", u"c:"},
      {"drive name: network", GetDriveName, u"\\\\server\\share\\a.txt", u"\\\\server\\share"},
      {"drive name: relative", GetDriveName, u"POS\\a.txt", u""},
      {"extension: empty", GetExtensionName, u"", u""},
      {"extension", GetExtensionName, u"C:\\POS\\rpt.2024.TXT", u"TXT"},
      {"extension: none", GetExtensionName, u"C:\\POS\\README", u""},
      {"file name: empty", GetFileName, u"", u""},
      {"file name", GetFileName, u"C:\\POS\\收据.txt", u"收据.txt"},
      {"file name: drive root", GetFileName, u"C:\\", u""},
      {"parent: empty", GetParentFolderName, u"", u""},
      {"parent", GetParentFolderName, u"C:\\POS\\a.txt", u"C:\\POS"},
      {"parent: of a top folder keeps the root", GetParentFolderName, u"C:\\POS", u"C:\\"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.part(fso(), row.path), row.expected);
    // The parts are computed from the text, yet without the object there is none.
    EXPECT_EQ(row.part(nullptr, row.path), u"");
  }
}

TEST_F(ObjectWrappersTest, SpecialFolders) {
  const auto inside = env_.C("Temp");
  stdfs::create_directories(inside);
  const struct {
    const char* label;
    int32_t folderspec;
    std::optional<std::string> tmpdir;
    Text expected;
    const char* made;
  } rows[] = {
      // Boundaries: just outside the enumeration on both sides.
      {"below the enumeration", -1, std::nullopt, u"", nullptr},
      {"windows folder", 0, std::nullopt, u"C:\\windows", "windows"},
      {"system folder", 1, std::nullopt, u"C:\\windows\\system32", "windows/system32"},
      {"temporary folder inside drive C", 2, inside.string(), u"C:\\Temp", nullptr},
      {"temporary folder without TMPDIR", 2, std::nullopt, u"Z:\\tmp", nullptr},
      {"above the enumeration", 3, std::nullopt, u"", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ScopedEnv tmpdir("TMPDIR", row.tmpdir);
    EXPECT_EQ(GetSpecialFolder(fso(), row.folderspec), row.expected);
    if (row.made) {
      EXPECT_TRUE(stdfs::is_directory(env_.C(row.made)));
    }
    EXPECT_EQ(GetSpecialFolder(nullptr, row.folderspec), u"");
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::fs
