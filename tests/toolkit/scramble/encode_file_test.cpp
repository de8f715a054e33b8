#include "toolkit/scramble/encode_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>

#include "fakes/faulty_file_system.h"
#include "fakes/services_in_prefix.h"
#include "support/temp_dir.h"

namespace kavrolin::toolkit::scramble {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::FaultyFileSystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

std::string EveryByte(size_t size) {
  std::string bytes;
  for (size_t i = 0; i < size; ++i) bytes += static_cast<char>((i * 7 + i / 256) % 256);
  return bytes;
}

std::string Flipped(std::string bytes, int key) {
  for (char& b : bytes) b = static_cast<char>(b ^ key);
  return bytes;
}

class EncodeFileTest : public ::testing::Test {
 protected:
  EncodeFileTest() { fs::create_directories(s_.C("data")); }
  bool Encode(platform::FileSystem& files, const Text& source, const Text& destination,
              int32_t seed) {
    const bool done = EncodeFile(files, slots_, source, destination, seed);
    EXPECT_FALSE(slots_.IsOpen(1));
    EXPECT_FALSE(slots_.IsOpen(2));
    return done;
  }
  bool Encode(const Text& source, const Text& destination, int32_t seed) {
    return Encode(*s_.services.files, source, destination, seed);
  }
  size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  kavrolin::testing::ServicesInPrefix s_;
  platform::FileSlots slots_;
};

TEST_F(EncodeFileTest, FlipsEveryByteWithTheSeedsLowBits) {
  const struct {
    const char* label;
    std::string source;
    int32_t pSeed;
    int key;  // pSeed AND 15
  } rows[] = {
      // Boundaries first.
      {"empty file", "", 7, 7},
      {"one zero byte", std::string(1, '\0'), 7, 7},
      {"seed 0 copies", EveryByte(300), 0, 0},
      {"seed 16 copies", EveryByte(300), 16, 0},
      {"smallest seed", EveryByte(300), -2147483647 - 1, 0},
      {"largest seed", EveryByte(300), 2147483647, 15},
      {"negative seed", EveryByte(300), -9, 7},
      {"seed beyond the string range is not cut", EveryByte(300), 65536 + 5, 5},
      {"zero bytes are encoded too", std::string("a\0\0b\0", 5), 3, 3},
      {"bytes equal to the key become zero", std::string("\x01\x02\x03", 3), 3, 3},
      {"high bytes", std::string("\x80\xfe\xff", 3), 15, 15},
      {"more than one block", EveryByte(64 * 1024 * 3 + 17), 9, 9},
      {"exactly one block", EveryByte(64 * 1024), 1, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    WriteHostFile(s_.C("data/in.bin"), row.source);
    EXPECT_TRUE(Encode(u"C:\\data\\in.bin", u"C:\\data\\out.bin", row.pSeed));
    const std::string out = ReadHostFile(s_.C("data/out.bin"));
    EXPECT_EQ(out.size(), row.source.size());
    EXPECT_EQ(out, Flipped(row.source, row.key));
    EXPECT_EQ(ReadHostFile(s_.C("data/in.bin")), row.source);
  }
}

TEST_F(EncodeFileTest, EncodingTwiceRestoresTheFileExactly) {
  const std::string original = EveryByte(200000) + std::string(1000, '\0');
  WriteHostFile(s_.C("data/a.bin"), original);
  for (const int32_t seed : {1, 7, 15, -1, 12345}) {
    SCOPED_TRACE(seed);
    EXPECT_TRUE(Encode(u"C:\\data\\a.bin", u"C:\\data\\b.bin", seed));
    EXPECT_TRUE(Encode(u"C:\\data\\b.bin", u"C:\\data\\c.bin", seed));
    EXPECT_EQ(ReadHostFile(s_.C("data/c.bin")), original);
  }
}

TEST_F(EncodeFileTest, ReplacesALongerDestinationWhole) {
  WriteHostFile(s_.C("data/in.bin"), "ab");
  WriteHostFile(s_.C("data/out.bin"), std::string(5000, 'z'));
  EXPECT_TRUE(Encode(u"c:\\DATA\\IN.BIN", u"C:\\data\\OUT.bin", 0));
  EXPECT_EQ(ReadHostFile(s_.C("data/out.bin")), "ab");
}

TEST_F(EncodeFileTest, RefusalsTouchNothing) {
  WriteHostFile(s_.C("data/in.bin"), "source");
  WriteHostFile(s_.C("data/keep.bin"), "destination");
  WriteHostFile(s_.C("data/ro.bin"), "read-only");
  fs::permissions(s_.C("data/ro.bin"), fs::perms::owner_read | fs::perms::group_read);
  fs::create_hard_link(s_.C("data/in.bin"), s_.C("data/link.bin"));
  fs::create_directories(s_.C("data/dir"));
  const struct {
    const char* label;
    Text source, destination;
  } rows[] = {
      {"missing source", u"C:\\data\\none.bin", u"C:\\data\\keep.bin"},
      {"missing source, missing destination", u"C:\\data\\none.bin", u"C:\\data\\new.bin"},
      {"source is a folder", u"C:\\data\\dir", u"C:\\data\\keep.bin"},
      {"source is a device without end", u"/dev/zero", u"C:\\data\\new.bin"},
      {"empty source path", u"", u"C:\\data\\new.bin"},
      {"same path", u"C:\\data\\in.bin", u"C:\\data\\in.bin"},
      {"same file in other case", u"C:\\data\\in.bin", u"c:\\data\\IN.BIN"},
      {"same file through a link", u"C:\\data\\in.bin", u"C:\\data\\link.bin"},
      {"read-only destination", u"C:\\data\\in.bin", u"C:\\data\\ro.bin"},
      {"destination is a folder", u"C:\\data\\in.bin", u"C:\\data\\dir"},
      {"destination folder missing", u"C:\\data\\in.bin", u"C:\\none\\new.bin"},
      {"destination on a missing drive", u"C:\\data\\in.bin", u"Q:\\new.bin"},
      {"destination with a bad name", u"C:\\data\\in.bin", u"C:\\data\\a?.bin"},
      {"empty destination path", u"C:\\data\\in.bin", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_FALSE(Encode(row.source, row.destination, 7));
    EXPECT_EQ(ReadHostFile(s_.C("data/in.bin")), "source");
    EXPECT_EQ(ReadHostFile(s_.C("data/keep.bin")), "destination");
    EXPECT_EQ(ReadHostFile(s_.C("data/ro.bin")), "read-only");
    EXPECT_FALSE(fs::exists(s_.C("data/none.bin")));
    EXPECT_FALSE(fs::exists(s_.C("data/new.bin")));
    EXPECT_TRUE(fs::is_directory(s_.C("data/dir")));
  }
  EXPECT_EQ(EntriesIn(s_.C("data")), 5u);  // nothing left behind
}

TEST_F(EncodeFileTest, AFailureHalfwayLeavesTheOldDestination) {
  WriteHostFile(s_.C("data/in.bin"), EveryByte(64 * 1024 * 4));
  WriteHostFile(s_.C("data/out.bin"), "old");
  FaultyFileSystem faulty(s_.services.files);
  faulty.FailCall("Write", 3, 61);
  EXPECT_FALSE(Encode(faulty, u"C:\\data\\in.bin", u"C:\\data\\out.bin", 7));
  EXPECT_EQ(ReadHostFile(s_.C("data/out.bin")), "old");
  EXPECT_EQ(EntriesIn(s_.C("data")), 2u);
  // The next call is not hindered by the failed one.
  EXPECT_TRUE(Encode(faulty, u"C:\\data\\in.bin", u"C:\\data\\out.bin", 7));
  EXPECT_EQ(ReadHostFile(s_.C("data/out.bin")), Flipped(EveryByte(64 * 1024 * 4), 7));
}

TEST_F(EncodeFileTest, NoFileSystemObjectAnswersFalse) {
  WriteHostFile(s_.C("data/in.bin"), "x");
  FaultyFileSystem faulty(s_.services.files);
  faulty.FailCall("CreateObject", 1);
  EXPECT_FALSE(Encode(faulty, u"C:\\data\\in.bin", u"C:\\data\\out.bin", 7));
  EXPECT_FALSE(fs::exists(s_.C("data/out.bin")));
}

TEST_F(EncodeFileTest, SlotsLeftOpenAreReleasedFirst) {
  WriteHostFile(s_.C("data/in.bin"), "abc");
  WriteHostFile(s_.C("data/other.bin"), "zzz");
  slots_.Open(1, *s_.services.files, u"C:\\data\\other.bin", platform::BinaryAccess::kRead);
  slots_.Open(2, *s_.services.files, u"C:\\data\\out.bin", platform::BinaryAccess::kReplacement);
  slots_.Put(2, "stale");
  EXPECT_TRUE(Encode(u"C:\\data\\in.bin", u"C:\\data\\out.bin", 1));
  EXPECT_EQ(ReadHostFile(s_.C("data/out.bin")), "`cb");
  EXPECT_EQ(EntriesIn(s_.C("data")), 3u);
}

}  // namespace
}  // namespace kavrolin::toolkit::scramble
