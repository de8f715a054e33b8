#include "platform/posix/folder_listings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;
using Status = FolderListings::Status;

// A clock an hour ahead: every listing read counts as settled at once, so
// only the folder's identity and times can tell a change.
timespec HourAhead() {
  timespec now = FolderListings::RealTime();
  now.tv_sec += 3600;
  return now;
}

// Moves the folder's modification time one second on, as the next tick of
// the file system's clock would stamp a change.
void NextTick(const fs::path& folder) {
  struct stat st;
  ASSERT_EQ(::stat(folder.c_str(), &st), 0);
  timespec times[2] = {st.st_atim, st.st_mtim};
  times[1].tv_sec += 1;
  ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), times, 0), 0);
}

TEST(FolderListingsTest, FindsNamesByTheirFold) {
  TempDir dir;
  for (const char* name : {"\xC3\x84pfel.txt", "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB",
                           "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", "I.txt", "same", "SAME"}) {
    WriteHostFile(dir.path() / name, "x");
  }
  FolderListings listings;
  const std::string folder = dir.path().string();
  const struct {
    const char* label;
    Text name;
    Status status;
    std::string found;
  } rows[] = {
      {"exact", u"I.txt", Status::kExact, "I.txt"},
      {"exact wins over another case", u"SAME", Status::kExact, "SAME"},
      {"small umlaut", u"\u00e4pfel.TXT", Status::kOtherCase, "\xC3\x84pfel.txt"},
      {"cyrillic capitals", u"\u0416\u0423\u0420\u041d\u0410\u041b", Status::kOtherCase,
       "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB"},
      {"greek capitals with tonos", u"\u03a3\u039f\u03a6\u038a\u0391", Status::kOtherCase,
       "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"},
      {"dotless i is another letter", u"\u0131.txt", Status::kMissing, ""},
      {"missing", u"pear.txt", Status::kMissing, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const FolderListings::Match match = listings.Find(folder, row.name, ToUtf8(row.name));
    EXPECT_EQ(match.status, row.status);
    EXPECT_EQ(match.name, row.found);
  }
  EXPECT_EQ(listings.Find(folder + "/none", u"a", "a").status, Status::kNoFolder);
}

TEST(FolderListingsTest, ListingIsKeptOnlyWhenItsFolderChangedClearlyBefore) {
  const struct {
    const char* label;
    timespec change, read;
    bool settled;
  } rows[] = {
      {"same instant", {100, 500'000'000}, {100, 500'000'000}, false},
      {"within a clock tick", {100, 500'000'000}, {100, 510'000'000}, false},
      {"just inside the margin", {100, 500'000'000}, {100, 550'000'000}, false},
      {"past the margin", {100, 500'000'000}, {100, 551'000'000}, true},
      {"across a second", {100, 990'000'000}, {101, 41'000'000}, true},
      {"changed after the reading (clock moved back)", {200, 1}, {100, 0}, false},
      {"whole-second stamp, two seconds before", {100, 0}, {102, 0}, false},
      {"whole-second stamp, three seconds before", {100, 0}, {103, 1}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(FolderListings::Settled(row.change, row.read), row.settled);
  }
}

// Regression: a change made in the same tick of the file system's clock as
// the reading leaves the folder's times as they were; the listing read then
// must not be trusted the next time.
TEST(FolderListingsTest, ChangeInTheTickOfTheReadingIsSeen) {
  TempDir dir;
  WriteHostFile(dir.path() / "YHLOG", "x");
  FolderListings listings;
  const std::string folder = dir.path().string();
  ASSERT_EQ(listings.Find(folder, u"yhlog", "yhlog").status, Status::kOtherCase);
  WriteHostFile(dir.path() / "yhlog", "x");
  EXPECT_EQ(listings.Find(folder, u"yhlog", "yhlog").status, Status::kExact);
  fs::remove(dir.path() / "YHLOG");
  fs::remove(dir.path() / "yhlog");
  EXPECT_EQ(listings.Find(folder, u"yhlog", "yhlog").status, Status::kMissing);
}

TEST(FolderListingsTest, SettledListingFollowsEveryChange) {
  TempDir dir;
  const fs::path d = dir.path() / "d";
  fs::create_directories(d);
  WriteHostFile(d / "Old.txt", "x");
  FolderListings listings(HourAhead);
  const std::string folder = d.string();
  ASSERT_EQ(listings.Find(folder, u"old.txt", "old.txt").status, Status::kOtherCase);
  EXPECT_EQ(listings.KnownExact(folder, "Old.txt"), true);

  const struct {
    const char* label;
    void (*change)(const fs::path&);
    const char16_t* name;
    Status status;
  } rows[] = {
      {"created", [](const fs::path& f) { WriteHostFile(f / "New.txt", "x"); }, u"NEW.TXT",
       Status::kOtherCase},
      {"renamed", [](const fs::path& f) { fs::rename(f / "New.txt", f / "Moved.txt"); }, u"moved.txt",
       Status::kOtherCase},
      {"removed", [](const fs::path& f) { fs::remove(f / "Old.txt"); }, u"old.txt", Status::kMissing},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    row.change(d);
    NextTick(d);
    EXPECT_EQ(listings.Find(folder, row.name, ToUtf8(row.name)).status, row.status);
  }

  // Another folder in its place, with the same times: its identity tells.
  struct stat before;
  ASSERT_EQ(::stat(folder.c_str(), &before), 0);
  fs::rename(d, dir.path() / "gone");
  fs::create_directories(d);
  WriteHostFile(d / "Other.txt", "x");
  timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), times, 0), 0);
  EXPECT_EQ(listings.Find(folder, u"other.txt", "other.txt").status, Status::kOtherCase);
  EXPECT_EQ(listings.Find(folder, u"moved.txt", "moved.txt").status, Status::kMissing);
}

TEST(FolderListingsTest, FolderThatCannotBeReadAnswersTheExactNameOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  TempDir dir;
  const fs::path d = dir.path() / "d";
  fs::create_directories(d);
  WriteHostFile(d / "Day.txt", "x");
  fs::permissions(d, fs::perms::owner_exec);
  FolderListings listings;
  EXPECT_EQ(listings.Find(d.string(), u"Day.txt", "Day.txt").status, Status::kExact);
  EXPECT_EQ(listings.Find(d.string(), u"day.txt", "day.txt").status, Status::kMissing);
  fs::permissions(d, fs::perms::owner_all);
}

}  // namespace
}  // namespace kavrolin::platform::posix
