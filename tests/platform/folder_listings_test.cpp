#include "platform/posix/folder_listings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A settled listing is trusted to its watches, with no stat: every change
// that can make it wrong must end that trust, and changes that cannot must
// not.
TEST(FolderListingsTest, WatchedListingEndsWithEveryChangeThatConcernsIt) {
  struct Place {
    fs::path root, drive, folder;  // the folder is looked at through root/link
  };
  const struct {
    const char* label;
    void (*change)(const Place&);
    bool ends;
    const char16_t* name;  // then found (ignoring case) or not
    Status status;
  } rows[] = {
      {"name created", [](const Place& p) { WriteHostFile(p.folder / "New.txt", "x"); }, true,
       u"new.txt", Status::kOtherCase},
      {"name removed", [](const Place& p) { fs::remove(p.folder / "Old.txt"); }, true, u"old.txt",
       Status::kMissing},
      {"name renamed", [](const Place& p) { fs::rename(p.folder / "Old.txt", p.folder / "Moved.txt"); },
       true, u"moved.txt", Status::kOtherCase},
      {"folder replaced",
       [](const Place& p) {
         fs::rename(p.folder, p.root / "gone");
         fs::create_directories(p.folder);
         WriteHostFile(p.folder / "Other.txt", "x");
       },
       true, u"other.txt", Status::kOtherCase},
      {"parent replaced",
       [](const Place& p) {
         fs::rename(p.drive, p.root / "gone");
         fs::create_directories(p.folder);
       },
       true, u"old.txt", Status::kMissing},
      {"link re-pointed",
       [](const Place& p) {
         fs::create_directories(p.root / "other/d");
         WriteHostFile(p.root / "other/d/Else.txt", "x");
         fs::remove(p.root / "link");
         fs::create_directory_symlink("other", p.root / "link");
       },
       true, u"else.txt", Status::kOtherCase},
      {"read rights taken", [](const Place& p) { fs::permissions(p.folder, fs::perms::owner_exec); },
       true, u"old.txt", Status::kOtherCase},
      {"file appended to",
       [](const Place& p) {
         const int fd = ::open((p.folder / "Old.txt").c_str(), O_WRONLY | O_APPEND);
         ASSERT_GE(fd, 0);
         ASSERT_EQ(::write(fd, "more", 4), 4);
         ::close(fd);
       },
       false, u"old.txt", Status::kOtherCase},
      {"sibling folder changed", [](const Place& p) { WriteHostFile(p.drive / "Beside.txt", "x"); },
       false, u"old.txt", Status::kOtherCase},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    const Place place{dir.path(), dir.path() / "drive", dir.path() / "drive/d"};
    fs::create_directories(place.folder);
    WriteHostFile(place.folder / "Old.txt", "x");
    fs::create_directory_symlink("drive", place.root / "link");
    const std::string folder = (place.root / "link/d").string();
    FolderListings listings(HourAhead);
    ASSERT_EQ(listings.Find(folder, u"old.txt", "old.txt").status, Status::kOtherCase);
    ASSERT_TRUE(listings.Watched(folder));

    row.change(place);
    // Without read rights only the exact name is found (the superuser keeps
    // them whatever the mode says).
    const bool unreadable = row.status == Status::kOtherCase && ::geteuid() != 0 &&
                            ::access(place.folder.c_str(), R_OK) != 0;
    EXPECT_EQ(listings.Find(folder, row.name, ToUtf8(row.name)).status,
              unreadable ? Status::kMissing : row.status);
    if (!row.ends) {
      EXPECT_TRUE(listings.Watched(folder));
    }
    std::error_code ignored;
    fs::permissions(place.folder, fs::perms::owner_all, ignored);
  }
}

// A fork's child shares the watches' instance: it must read none of it, or
// the parent would miss what the child took away.
TEST(FolderListingsTest, ForkedChildLeavesTheWatchesToTheParent) {
  TempDir dir;
  WriteHostFile(dir.path() / "Old.txt", "x");
  const std::string folder = dir.path().string();
  FolderListings listings(HourAhead);
  ASSERT_EQ(listings.Find(folder, u"old.txt", "old.txt").status, Status::kOtherCase);
  ASSERT_TRUE(listings.Watched(folder));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    WriteHostFile(dir.path() / "Child.txt", "x");
    const bool seen = listings.Find(folder, u"child.txt", "child.txt").status == Status::kOtherCase;
    ::_exit(seen ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(listings.Find(folder, u"child.txt", "child.txt").status, Status::kOtherCase);
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
