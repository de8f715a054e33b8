#include "platform/posix/prefix.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/error_of.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ErrorOf;
using kavrolin::testing::TempDir;

class PrefixTest : public ::testing::Test {
 protected:
  PrefixTest() : prefix_(dir_.path() / "pfx") { prefix_.EnsureLayout(); }
  fs::path DriveC() const { return dir_.path() / "pfx" / "drive_c"; }
  fs::path Link(const char* name) const { return dir_.path() / "pfx" / "dosdevices" / name; }

  TempDir dir_;
  Prefix prefix_;
};

TEST_F(PrefixTest, LayoutMadeOnFirstUse) {
  EXPECT_EQ(fs::read_symlink(Link("c:")), "../drive_c");
  EXPECT_EQ(fs::read_symlink(Link("z:")), "/");
  EXPECT_TRUE(fs::is_directory(DriveC()));
}

TEST_F(PrefixTest, RemovedDriveIsNotMadeAgain) {
  fs::remove(Link("z:"));
  Prefix again(dir_.path() / "pfx");
  again.EnsureLayout();
  EXPECT_FALSE(fs::exists(fs::symlink_status(Link("z:"))));
  EXPECT_FALSE(again.DriveExists(u"Z:"));
}

TEST_F(PrefixTest, ToHostMapsThroughDrives) {
  fs::create_directories(DriveC() / "YHLOG");
  kavrolin::testing::WriteHostFile(DriveC() / "YHLOG" / "day.txt", "x");
  const std::string c = Link("c:").string();
  const struct {
    const char* label;
    Text path;
    std::string host;
  } rows[] = {
      {"exact_case", u"C:\\YHLOG\\day.txt", c + "/YHLOG/day.txt"},
      {"other_case_matched", u"c:\\yhlog\\DAY.TXT", c + "/YHLOG/day.txt"},
      {"missing_part_kept_as_given", u"C:\\yhlog\\New\\a.txt", c + "/YHLOG/New/a.txt"},
      {"forward_slashes", u"c:/YHLOG", c + "/YHLOG"},
      {"trailing_separator_kept", u"C:\\YHLOG\\", c + "/YHLOG/"},
      {"dotdot_contained_in_drive", u"C:\\..\\..\\etc\\passwd", c + "/etc/passwd"},
      {"drive_root", u"C:\\", c + "/"},
      {"host_path_as_is", u"/etc/hosts", "/etc/hosts"},
      {"z_is_host_root", u"Z:\\etc", Link("z:").string() + "/etc"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(prefix_.ToHost(row.path).path, row.host);
  }
  EXPECT_TRUE(prefix_.ToHost(u"C:\\").is_root);
  EXPECT_FALSE(prefix_.ToHost(u"C:\\YHLOG").is_root);
}

TEST_F(PrefixTest, ToHostRefusesWhatCannotExist) {
  const struct {
    const char* label;
    Text path;
    int number;
  } rows[] = {
      {"empty_path_is_not_the_current_folder", u"", 76},
      {"network_path", u"\\\\server\\share\\x", 76},
      {"drive_without_link", u"Q:\\x", 76},
      {"wildcard_name", u"C:\\a*b", 52},
      {"control_character", Text(u"C:\\a\x01"), 52},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { prefix_.ToHost(row.path); }), row.number);
  }
}

TEST_F(PrefixTest, ToWindowsGivesWindowsForm) {
  fs::create_directories(DriveC() / "POS" / "收银");
  fs::create_directories(dir_.path() / "d-drive" / "data");
  fs::create_symlink(dir_.path() / "d-drive", Link("d:"));
  kavrolin::testing::WriteHostFile(DriveC() / "POS" / "f.txt", "x");
  fs::create_symlink(DriveC() / "POS" / "f.txt" / ".." / "收银", DriveC() / "via-file");
  const struct {
    const char* label;
    fs::path host;
    Text windows;
  } rows[] = {
      {"drive_c_root", DriveC(), u"C:\\"},
      {"inside_drive_c", DriveC() / "POS" / "收银", u"C:\\POS\\收银"},
      {"through_the_link", Link("c:") / "POS", u"C:\\POS"},
      {"longest_drive_wins", dir_.path() / "d-drive" / "data", u"D:\\data"},
      {"outside_every_drive_is_z", "/etc", u"Z:\\etc"},
      {"host_root", "/", u"Z:\\"},
      {"below_a_file_as_written", DriveC() / "POS" / "f.txt" / "x", u"C:\\POS\\f.txt\\x"},
      {"up_from_a_file_as_written", DriveC() / "POS" / "f.txt" / "..", u"C:\\POS"},
      {"link_up_from_a_file_leads_nowhere", DriveC() / "via-file", u"C:\\via-file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(prefix_.ToWindows(row.host), row.windows);
  }
}

// Names compare by their folds beyond ASCII too, in every component.
TEST_F(PrefixTest, OtherCaseOutsideAsciiMapsToTheNameOnDisk) {
  fs::create_directories(DriveC() / "Журнал" / "Σοφία");
  kavrolin::testing::WriteHostFile(DriveC() / "Äpfel.txt", "x");
  kavrolin::testing::WriteHostFile(DriveC() / "Журнал" / "Σοφία" / "Ölçü.TXT", "x");
  const std::string c = Link("c:").string();
  const struct {
    const char* label;
    Text path;
    std::string host;
  } rows[] = {
      {"latin_small_umlaut", u"C:\\äpfel.txt", c + "/Äpfel.txt"},
      {"latin_capitals", u"C:\\ÄPFEL.TXT", c + "/Äpfel.txt"},
      {"cyrillic_and_greek_folders", u"c:\\ЖУРНАЛ\\ΣΟΦΊΑ\\ölçü.txt", c + "/Журнал/Σοφία/Ölçü.TXT"},
      {"missing_below_a_folded_one", u"C:\\журнал\\новый.txt", c + "/Журнал/новый.txt"},
      {"dotless_i_is_another_letter", u"C:\\Äpfel.txt\\..\\\u0131.txt", c + "/\u0131.txt"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(prefix_.ToHost(row.path).path, row.host);
  }
}

// Another process may create, rename or remove names at any moment: the next
// mapping sees it, whatever was mapped before.
TEST_F(PrefixTest, NamesChangedBetweenMappingsAreSeenAtOnce) {
  fs::create_directories(DriveC() / "YHLOG");
  const std::string c = Link("c:").string();
  ASSERT_EQ(prefix_.ToHost(u"c:\\yhlog\\day.txt").path, c + "/YHLOG/day.txt");
  kavrolin::testing::WriteHostFile(DriveC() / "YHLOG" / "DAY.TXT", "x");
  EXPECT_EQ(prefix_.ToHost(u"c:\\yhlog\\day.txt").path, c + "/YHLOG/DAY.TXT");
  fs::create_directories(DriveC() / "yhlog");
  EXPECT_EQ(prefix_.ToHost(u"c:\\yhlog\\day.txt").path, c + "/yhlog/day.txt") << "exact wins";
  fs::remove(DriveC() / "yhlog");
  fs::rename(DriveC() / "YHLOG", DriveC() / "Logs");
  EXPECT_EQ(prefix_.ToHost(u"C:\\LOGS\\day.txt").path, c + "/Logs/DAY.TXT");
  EXPECT_EQ(prefix_.ToHost(u"C:\\YHLOG\\day.txt").path, c + "/YHLOG/day.txt");

  // Deeper: the folders on the way were seen with these names last time.
  fs::create_directories(DriveC() / "POS" / "Data");
  ASSERT_EQ(prefix_.ToHost(u"C:\\POS\\Data\\new.txt").path, c + "/POS/Data/new.txt");
  fs::rename(DriveC() / "POS", DriveC() / "pos");
  EXPECT_EQ(prefix_.ToHost(u"C:\\POS\\Data\\new.txt").path, c + "/pos/Data/new.txt")
      << "a folder on the way renamed";
  fs::rename(DriveC() / "pos" / "Data", DriveC() / "pos" / "DATA");
  EXPECT_EQ(prefix_.ToHost(u"C:\\POS\\Data\\new.txt").path, c + "/pos/DATA/new.txt")
      << "the last folder renamed";
  fs::remove(Link("c:"));
  EXPECT_EQ(ErrorOf([&] { prefix_.ToHost(u"C:\\POS\\Data\\new.txt"); }), 76)
      << "the drive removed";
}

// The reverse mapping follows drive links and the folders they lead to as
// they are now.
TEST_F(PrefixTest, ToWindowsFollowsDrivesAsTheyAreNow) {
  const fs::path data = dir_.path() / "data";
  fs::create_directories(data / "x");
  fs::create_symlink(data, Link("d:"));
  ASSERT_EQ(prefix_.ToWindows(data / "x"), u"D:\\x");
  // The folder moves and a link takes its place, as an administrator moves a
  // folder to another disk.
  fs::rename(data, dir_.path() / "data2");
  fs::create_symlink(dir_.path() / "data2", data);
  EXPECT_EQ(prefix_.ToWindows(dir_.path() / "data2" / "x"), u"D:\\x");
  // The drive is repointed.
  fs::create_directories(dir_.path() / "e" / "y");
  fs::remove(Link("d:"));
  fs::create_symlink(dir_.path() / "e", Link("d:"));
  EXPECT_EQ(prefix_.ToWindows(dir_.path() / "e" / "y"), u"D:\\y");
  EXPECT_NE(prefix_.ToWindows(dir_.path() / "data2" / "x"), u"D:\\x");
  // Two drives on one folder: the first letter.
  fs::create_symlink(dir_.path() / "e", Link("b:"));
  EXPECT_EQ(prefix_.ToWindows(dir_.path() / "e" / "y"), u"B:\\y");
}

// A drive's link text can mislead when read as it stands: a folder on its way
// may be a link, or dosdevices/ itself. Each answers where the link leads.
TEST_F(PrefixTest, ToWindowsGoesWhereDriveLinksLeadNotWhereTheirTextsRead) {
  const fs::path pfx = dir_.path() / "pfx";
  auto z_form = [](const fs::path& host) {
    Text out = u"Z:" + FromUtf8(fs::weakly_canonical(host).string());
    for (char16_t& c : out) {
      if (c == u'/') c = u'\\';
    }
    return out;
  };
  fs::create_directories(dir_.path() / "elsewhere" / "sub2");
  fs::create_directories(dir_.path() / "elsewhere" / "data" / "x");
  fs::create_directories(pfx / "data" / "x");  // where "../sub/../data" reads
  fs::create_directory_symlink(dir_.path() / "elsewhere" / "sub2", pfx / "sub");
  fs::create_symlink("../sub/../data", Link("d:"));
  fs::create_directories(dir_.path() / "real-c" / "x");
  EXPECT_EQ(prefix_.ToWindows(dir_.path() / "elsewhere" / "data" / "x"), u"D:\\x")
      << "climbing through a linked folder";
  EXPECT_EQ(prefix_.ToWindows(pfx / "data" / "x"), z_form(pfx / "data" / "x"))
      << "the folder the text names";

  // drive_c becomes a link to another folder: its contents are C:.
  fs::rename(DriveC(), dir_.path() / "old-c");
  fs::create_directory_symlink(dir_.path() / "real-c", DriveC());
  EXPECT_EQ(prefix_.ToWindows(dir_.path() / "real-c" / "x"), u"C:\\x");
  EXPECT_EQ(Prefix(pfx / ".." / "pfx").ToWindows(dir_.path() / "real-c" / "x"), u"C:\\x")
      << "a prefix named with ..";
  fs::remove(DriveC());
  EXPECT_EQ(prefix_.ToWindows(DriveC() / "x"), z_form(DriveC() / "x"))
      << "a dangling drive holds nothing";

  // dosdevices/ itself a link: "../drive_c" climbs out of the folder it leads to.
  const fs::path other = dir_.path() / "other";
  fs::create_directories(other / "drive_c" / "x");  // the decoy beside the link
  fs::create_directories(dir_.path() / "devs");
  fs::create_directories(dir_.path() / "drive_c" / "x");
  fs::create_symlink("../drive_c", dir_.path() / "devs" / "c:");
  fs::create_directory_symlink(dir_.path() / "devs", other / "dosdevices");
  const Prefix linked(other);
  EXPECT_EQ(linked.ToWindows(dir_.path() / "drive_c" / "x"), u"C:\\x");
  EXPECT_EQ(linked.ToWindows(other / "drive_c" / "x"), z_form(other / "drive_c" / "x"));
}

// A name longer than the platform holds cannot be looked up; the drive's link
// in front of it is resolved all the same, so the path stays on its drive.
TEST_F(PrefixTest, NameTooLongForThePlatformKeepsItsDrive) {
  fs::create_directories(DriveC() / "POS");
  const Text long_ascii(300, u'x');
  const Text long_chinese(86, u'\x4E2D');  // 258 bytes in UTF-8, 86 units
  const struct {
    const char* label;
    Text path;
    Text windows;
  } rows[] = {
      {"longest_name_the_platform_holds", u"C:\\" + Text(255, u'y'), u"C:\\" + Text(255, u'y')},
      {"at_the_drive_root", u"C:\\" + long_ascii, u"C:\\" + long_ascii},
      {"below_an_existing_folder", u"c:\\pos\\" + long_chinese, u"C:\\POS\\" + long_chinese},
      {"below_a_missing_folder", u"C:\\New\\" + long_chinese + u"\\a.txt",
       u"C:\\New\\" + long_chinese + u"\\a.txt"},
      {"lone_surrogates", u"c:\\" + Text(86, u'\xDDD0'), u"C:\\" + Text(86, u'\xFFFD')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(prefix_.ToWindows(prefix_.ToHost(row.path).path), row.windows);
  }
}

TEST_F(PrefixTest, ToWindowsWithoutZDriveStillAnswersWindowsForm) {
  fs::remove(Link("z:"));
  EXPECT_EQ(prefix_.ToWindows("/etc"), u"Z:\\etc");
}

TEST_F(PrefixTest, RelativePathsFollowTheCurrentFolder) {
  fs::create_directories(DriveC() / "Work");
  const fs::path saved = fs::current_path();
  fs::current_path(DriveC() / "Work");
  const std::string host = prefix_.ToHost(u"Sub\\a.txt").path;
  const Text rooted = prefix_.ToWindows(prefix_.ToHost(u"\\Work").path);
  fs::current_path(saved);
  EXPECT_EQ(fs::path(host).lexically_relative(fs::canonical(DriveC())), "Work/Sub/a.txt");
  EXPECT_EQ(rooted, u"C:\\Work");
}

TEST_F(PrefixTest, DriveExists) {
  fs::create_symlink(dir_.path() / "gone", Link("e:"));
  const struct {
    const char* label;
    Text drive;
    bool exists;
  } rows[] = {
      {"letter", u"c", true},       {"letter_colon", u"C:", true},
      {"root", u"C:\\", true},      {"z", u"Z:", true},
      {"no_link", u"Q:", false},    {"dangling_link", u"E:", false},
      {"empty", u"", false},        {"network", u"\\\\srv\\share", false},
      {"not_a_drive", u"CC", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(prefix_.DriveExists(row.drive), row.exists);
  }
}

}  // namespace
}  // namespace kavrolin::platform::posix
