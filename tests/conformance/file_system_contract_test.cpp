// The FileSystem contract (platform/file_system.h), held against every
// realisation this platform has and the fake around it: the error numbers of
// each operation, the read-only and force rules, appending, replacing, byte
// access and the directory search.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "realisations.h"
#include "support/error_of.h"

namespace kavrolin::testing {
namespace {

using platform::BinaryAccess;
using platform::FileSystem;

template <typename Place>
class FileSystemContract : public ::testing::Test {
 protected:
  FileSystem& files() { return place.files(); }
  Text In(const std::string& name) const { return place.In(name); }
  // A file holding `bytes`, made through the interface itself.
  void Make(const std::string& name, const std::string& bytes) { files().ReplaceFile(In(name), bytes); }
  void MakeReadOnly(const std::string& name, const std::string& bytes) {
    Make(name, bytes);
    files().SetAttributes(In(name), platform::kAttrReadOnly);
  }
  void TearDown() override {
    // Read-only items would outlive the temporary folder's removal.
    for (const char* name : {"locked.txt", "tree\\sub\\locked.txt"}) {
      if (files().FileExists(In(name))) files().SetAttributes(In(name), 0);
    }
  }
  Place place;
};

TYPED_TEST_SUITE(FileSystemContract, FileSystemRealisations);

TYPED_TEST(FileSystemContract, QueriesAnswerWithoutThrowing) {
  this->Make("a.txt", "x");
  this->files().CreateDirectory(this->In("sub"));
  struct Row {
    const char* label;
    Text path;
    bool file, folder;
  };
  const std::vector<Row> rows = {
      {"empty path", u"", false, false},
      {"a file", this->In("a.txt"), true, false},
      {"the file in other letter case", this->In("A.TXT"), true, false},
      {"a file with a trailing separator", this->In("a.txt\\"), false, false},
      {"a folder", this->In("sub"), false, true},
      {"the folder with a trailing separator", this->In("sub\\"), false, true},
      {"a missing item", this->In("b.txt"), false, false},
      {"in a missing folder", this->In("none\\a.txt"), false, false},
      {"a wildcard", this->In("*.txt"), false, false},
      {"a network path", u"\\\\srv\\share\\a.txt", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(this->files().FileExists(row.path), row.file);
    EXPECT_EQ(this->files().FolderExists(row.path), row.folder);
  }
  for (const Text& drive : {this->In("").substr(0, 1), this->In("").substr(0, 2), this->In("").substr(0, 3),
                           this->In("a.txt")}) {
    SCOPED_TRACE(ToUtf8(drive));
    EXPECT_TRUE(this->files().DriveExists(drive));
  }
  EXPECT_FALSE(this->files().DriveExists(u""));
  EXPECT_TRUE(this->files().SameFile(this->In("a.txt"), this->In("A.TXT")));
  EXPECT_FALSE(this->files().SameFile(this->In("a.txt"), this->In("b.txt")));
  EXPECT_FALSE(this->files().SameFile(this->In("b.txt"), this->In("b.txt"))) << "no file is no same file";
}

TYPED_TEST(FileSystemContract, AMissingItemAnswersTheNumberOfWhatIsMissing) {
  this->files().CreateDirectory(this->In("sub"));
  struct Row {
    const char* label;
    Text path;
    int missing;  // what a file operation answers
  };
  const std::vector<Row> rows = {
      {"empty path", u"", 76},
      {"a missing file in an existing folder", this->In("sub\\none.txt"), 53},
      {"a file in a missing folder", this->In("none\\none.txt"), 76},
      {"a network path", u"\\\\srv\\share\\none.txt", 76},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->files().Stat(row.path); }), row.missing);
    EXPECT_EQ(ErrorOf([&] { this->files().ReadFile(row.path); }), row.missing);
    EXPECT_EQ(ErrorOf([&] { this->files().DeleteFile(row.path, true); }), row.missing);
    EXPECT_EQ(ErrorOf([&] { this->files().OpenBinary(row.path, BinaryAccess::kRead); }), row.missing);
    EXPECT_EQ(ErrorOf([&] { this->files().SetAttributes(row.path, 0); }), row.missing);
  }
}

TYPED_TEST(FileSystemContract, StatTellsFilesFromFoldersWithTheirSizeAndAttributes) {
  this->Make("a.txt", "12345");
  this->MakeReadOnly("locked.txt", "1");
  this->files().CreateDirectory(this->In("sub"));
  struct Row {
    const char* label;
    std::string name;
    bool is_directory;
    int64_t size;
    uint32_t attributes;  // the bits that must be set
  };
  const std::vector<Row> rows = {
      {"a file", "a.txt", false, 5, 0},
      {"a read-only file", "locked.txt", false, 1, platform::kAttrReadOnly},
      {"a folder", "sub", true, 0, platform::kAttrDirectory},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const platform::FileFacts facts = this->files().Stat(this->In(row.name));
    EXPECT_EQ(facts.is_directory, row.is_directory);
    EXPECT_EQ(facts.size, row.size);
    EXPECT_EQ(facts.attributes & row.attributes, row.attributes);
    EXPECT_EQ(facts.attributes & platform::kAttrDirectory, row.is_directory ? platform::kAttrDirectory : 0u);
    EXPECT_GE(facts.last_modified.year, 2000);
  }
}

TYPED_TEST(FileSystemContract, AppendAddsEachRecordWholeAndRefusesAReadOnlyFile) {
  const Text path = this->In("journal.txt");
  this->files().AppendFile(path, "first\r\n", true);
  this->files().AppendFile(path, "", false);
  this->files().AppendFile(path, "second\r\n", false);
  EXPECT_EQ(this->files().ReadFile(path), "first\r\nsecond\r\n");
  this->MakeReadOnly("locked.txt", "kept");
  struct Row {
    const char* label;
    Text path;
    int error;
  };
  const std::vector<Row> rows = {
      {"a read-only file", this->In("locked.txt"), 70},
      {"a folder", this->In(""), 70},
      {"in a missing folder", this->In("none\\j.txt"), 76},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->files().AppendFile(row.path, "more", true); }), row.error);
  }
  EXPECT_EQ(this->files().ReadFile(this->In("locked.txt")), "kept");
}

TYPED_TEST(FileSystemContract, ReplaceKeepsTheOldAttributesAndRefusesAReadOnlyFile) {
  this->Make("a.ini", "old");
  this->files().SetAttributes(this->In("a.ini"), platform::kAttrHidden | platform::kAttrArchive);
  this->files().ReplaceFile(this->In("a.ini"), "new", FileSystem::Replace::kAtomic);
  EXPECT_EQ(this->files().ReadFile(this->In("a.ini")), "new");
  EXPECT_EQ(this->files().Stat(this->In("a.ini")).attributes & platform::kAttrHidden, platform::kAttrHidden);
  this->MakeReadOnly("locked.txt", "kept");
  EXPECT_EQ(ErrorOf([&] { this->files().ReplaceFile(this->In("locked.txt"), "lost"); }), 70);
  EXPECT_EQ(this->files().ReadFile(this->In("locked.txt")), "kept");
  EXPECT_EQ(ErrorOf([&] { this->files().ReplaceFile(this->In("none\\a.ini"), "x"); }), 76);
}

TYPED_TEST(FileSystemContract, FoldersAreMadeOneAtATime) {
  struct Row {
    const char* label;
    std::string name;
    int error;
  };
  const std::vector<Row> rows = {
      {"a new folder", "log", 0},
      {"the same folder again", "log", 75},
      {"in other letter case", "LOG", 75},
      {"below a missing folder", "none\\log", 76},
      {"below the new one", "log\\day", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->files().CreateDirectory(this->In(row.name)); }), row.error);
  }
  EXPECT_TRUE(this->files().FolderExists(this->In("log\\day")));
  EXPECT_EQ(ErrorOf([&] { this->files().CreateDirectory(this->In("").substr(0, 3)); }), 75) << "a drive root";
}

TYPED_TEST(FileSystemContract, DeletingHonoursReadOnlyUnlessForced) {
  this->Make("plain.txt", "1");
  this->MakeReadOnly("locked.txt", "2");
  this->files().CreateDirectory(this->In("sub"));
  struct Row {
    const char* label;
    std::string name;
    bool force;
    int error;
    bool gone;
  };
  const std::vector<Row> rows = {
      {"a folder is no file", "sub", true, 53, false},
      {"read-only without force", "locked.txt", false, 70, false},
      {"read-only with force", "locked.txt", true, 0, true},
      {"a plain file in other letter case", "PLAIN.TXT", false, 0, true},
      {"the file deleted already", "plain.txt", false, 53, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->files().DeleteFile(this->In(row.name), row.force); }), row.error);
    EXPECT_EQ(this->files().FileExists(this->In(row.name)), !row.gone && row.name != "sub");
  }
  EXPECT_TRUE(this->files().FolderExists(this->In("sub")));
}

TYPED_TEST(FileSystemContract, AFolderGoesWholeOrNotAtAll) {
  this->files().CreateDirectory(this->In("tree"));
  this->files().CreateDirectory(this->In("tree\\sub"));
  this->Make("tree\\a.txt", "a");
  this->MakeReadOnly("tree\\sub\\locked.txt", "b");
  struct Row {
    const char* label;
    std::string name;
    bool force;
    int error;
  };
  const std::vector<Row> rows = {
      {"a missing folder", "none", true, 76},
      {"a file is no folder", "tree\\a.txt", true, 76},
      {"a read-only item inside refuses it all", "tree", false, 70},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->files().DeleteFolder(this->In(row.name), row.force); }), row.error);
  }
  EXPECT_EQ(this->files().ReadFile(this->In("tree\\a.txt")), "a") << "nothing went";
  EXPECT_EQ(ErrorOf([&] { this->files().DeleteFolder(this->In("TREE"), true); }), 0);
  EXPECT_FALSE(this->files().FolderExists(this->In("tree")));
}

TYPED_TEST(FileSystemContract, SpecialFoldersAreTheThreeItKnows) {
  for (int32_t which : {0, 1, 2}) {
    SCOPED_TRACE(which);
    EXPECT_TRUE(this->files().FolderExists(this->files().GetSpecialFolder(which)));
  }
  for (int32_t which : {-1, 3}) {
    SCOPED_TRACE(which);
    EXPECT_EQ(ErrorOf([&] { this->files().GetSpecialFolder(which); }), 5);
  }
}

TYPED_TEST(FileSystemContract, BinaryAccessReadsWhatIsThereAndReplacesOnlyOnCommit) {
  this->Make("data.bin", std::string("a\0b\r\nc", 6));
  this->files().CreateDirectory(this->In("sub"));
  this->MakeReadOnly("locked.txt", "kept");
  {
    const auto file = this->files().OpenBinary(this->In("DATA.BIN"), BinaryAccess::kRead);
    char buffer[8] = {};
    EXPECT_EQ(file->Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), std::string("a\0b\r", 4));
    EXPECT_EQ(file->Read(buffer, 8), 2u) << "fewer only at the end";
    EXPECT_EQ(file->Read(buffer, 8), 0u);
    file->Commit();  // nothing for a read
  }
  {
    const auto file = this->files().OpenBinary(this->In("data.bin"), BinaryAccess::kReplacement);
    file->Write("never committed");
  }
  EXPECT_EQ(this->files().ReadFile(this->In("data.bin")), std::string("a\0b\r\nc", 6));
  {
    const auto file = this->files().OpenBinary(this->In("data.bin"), BinaryAccess::kReplacement);
    file->Write("new");
    file->Write(" bytes");
    file->Commit();
  }
  EXPECT_EQ(this->files().ReadFile(this->In("data.bin")), "new bytes");
  struct Row {
    const char* label;
    std::string name;
    BinaryAccess access;
    int error;
  };
  const std::vector<Row> rows = {
      {"a folder read", "sub", BinaryAccess::kRead, 75},
      {"a folder replaced", "sub", BinaryAccess::kReplacement, 75},
      {"a read-only file replaced", "locked.txt", BinaryAccess::kReplacement, 70},
      {"a missing file read", "none.bin", BinaryAccess::kRead, 53},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { this->files().OpenBinary(this->In(row.name), row.access); }), row.error);
  }
  EXPECT_EQ(this->files().ReadFile(this->In("locked.txt")), "kept");
}

TYPED_TEST(FileSystemContract, TheSearchNamesWhatTheAttributesLetThrough) {
  this->files().CreateDirectory(this->In("d"));
  this->Make("d\\b.txt", "");
  this->Make("d\\a.txt", "");
  this->Make("d\\c.log", "");
  this->Make("d\\h.txt", "");
  this->files().SetAttributes(this->In("d\\h.txt"), platform::kAttrHidden);
  this->files().CreateDirectory(this->In("d\\sub.txt"));
  struct Row {
    const char* label;
    std::string pattern;
    uint32_t attributes;
    std::vector<Text> names;
  };
  const std::vector<Row> rows = {
      {"plain files only", "d\\*.txt", 0, {u"a.txt", u"b.txt"}},
      {"hidden ones too", "d\\*.txt", platform::kAttrHidden, {u"a.txt", u"b.txt", u"h.txt"}},
      {"folders too", "d\\*.txt", platform::kAttrDirectory, {u"a.txt", u"b.txt", u"sub.txt"}},
      {"one character", "d\\?.LOG", 0, {u"c.log"}},
      {"one name in other letter case", "d\\A.TXT", 0, {u"a.txt"}},
      {"nothing matches", "d\\*.bin", 0, {}},
      {"a missing folder", "none\\*", 0, {}},
      {"an empty last part", "d\\", 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(this->files().FindFiles(this->In(row.pattern), row.attributes), row.names);
  }
  EXPECT_EQ(ErrorOf([&] { this->files().FindFiles(this->In("d*\\*.txt"), 0); }), 52);
  EXPECT_EQ(ErrorOf([&] { this->files().FindFiles(u"\\\\srv\\share\\*", 0); }), 76);
}

}  // namespace
}  // namespace kavrolin::testing
