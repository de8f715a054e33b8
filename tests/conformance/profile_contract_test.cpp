// The Profile contract (platform/profile.h), held against every realisation
// this platform has: values and their defaults, the lists of keys and
// sections and how they are cut, the writers, and the rewrite.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "realisations.h"

namespace kavrolin::testing {
namespace {

template <typename Place>
class ProfileContract : public ::testing::Test {
 protected:
  platform::Profile& profile() { return place.profile(); }
  Text File() const { return place.In("pos.ini"); }
  void SetUp() override {
    place.files().ReplaceFile(File(), "[POS]\r\nPort=COM1\r\nSpeed=9600\r\n[Printer]\r\nWidth=40\r\n");
  }
  // GetString into a buffer of `size` bytes: what it returned, and the
  // buffer's bytes up to the first two zeros (or its end).
  struct Got {
    uint32_t count;
    std::string bytes;
  };
  Got Get(const char* section, const char* key, uint32_t size, const char* default_value = "none") {
    std::string buffer(size + 4, '\x7f');
    const uint32_t count = profile().GetString(section, key, default_value, buffer.data(), size, File());
    EXPECT_EQ(buffer.substr(size), std::string(4, '\x7f')) << "nothing is written past the buffer";
    buffer.resize(size);
    const size_t end = buffer.find(std::string("\0\0", 2));
    return {count, end == std::string::npos ? buffer : buffer.substr(0, end + 2)};
  }
  std::string Contents() { return place.files().ReadFile(File()); }
  Place place;
};

TYPED_TEST_SUITE(ProfileContract, ProfileRealisations);

TYPED_TEST(ProfileContract, AValueIsCutToTheBufferAndMissingOnesGiveTheDefault) {
  struct Row {
    const char* label;
    const char* section;
    const char* key;
    uint32_t size;
    uint32_t count;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"a value", "POS", "Port", 16, 4, "COM1"},
      {"names in other letter case", "pos", "PORT", 16, 4, "COM1"},
      {"a buffer just large enough", "POS", "Port", 5, 4, "COM1"},
      {"a buffer one byte short", "POS", "Port", 4, 3, "COM"},
      {"a missing key", "POS", "Baud", 16, 4, "none"},
      {"a missing section", "Scanner", "Port", 16, 4, "none"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const auto got = this->Get(row.section, row.key, row.size);
    EXPECT_EQ(got.count, row.count);
    EXPECT_EQ(std::string(got.bytes.c_str()), row.bytes) << "then a zero";
    EXPECT_EQ(got.bytes[row.count], '\0');
  }
  char buffer[16];
  EXPECT_EQ(this->profile().GetString("POS", "Port", "dflt", buffer, sizeof buffer, this->place.In("none.ini")), 4u);
  EXPECT_EQ(std::string(buffer), "dflt") << "a missing file";
}

TYPED_TEST(ProfileContract, KeyAndSectionListsEndInTwoZerosAndAreCutTheSameWay) {
  struct Row {
    const char* label;
    const char* section;
    uint32_t size;
    uint32_t count;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"the keys of a section", "POS", 32, 11, std::string("Port\0Speed\0\0", 12)},
      {"the keys, cut inside a name", "POS", 8, 6, std::string("Port\0S\0\0", 8)},
      {"the sections", nullptr, 32, 12, std::string("POS\0Printer\0\0", 13)},
      {"the sections, cut inside a name", nullptr, 7, 5, std::string("POS\0P\0\0", 7)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const auto got = this->Get(row.section, nullptr, row.size);
    EXPECT_EQ(got.count, row.count);
    EXPECT_EQ(got.bytes.substr(0, row.bytes.size()), row.bytes);
  }
}

TYPED_TEST(ProfileContract, WritesAddReplaceAndDelete) {
  struct Row {
    const char* label;
    const char* section;
    const char* key;
    const char* value;
    const char* read_section;
    const char* read_key;
    std::string read;
  };
  const std::vector<Row> rows = {
      {"a new key", "POS", "Baud", "1", "POS", "Baud", "1"},
      {"a key replaced", "pos", "PORT", "COM2", "POS", "Port", "COM2"},
      {"a new section", "Scanner", "Port", "COM3", "Scanner", "Port", "COM3"},
      {"no value deletes the key", "POS", "Speed", nullptr, "POS", "Speed", "none"},
      {"no key deletes the section", "Printer", nullptr, nullptr, "Printer", "Width", "none"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_TRUE(this->profile().WriteString(row.section, row.key, row.value, this->File()));
    const auto got = this->Get(row.read_section, row.read_key, 32);
    EXPECT_EQ(std::string(got.bytes.c_str()), row.read);
  }
  EXPECT_EQ(this->Get(nullptr, nullptr, 64).bytes, std::string("POS\0Scanner\0\0", 13));
  EXPECT_TRUE(this->profile().WriteString("New", "k", "v", this->place.In("new.ini"))) << "the file is made";
  EXPECT_FALSE(this->profile().WriteString("S", "k", "v", this->place.In("none\\a.ini"))) << "a missing folder";
}

TYPED_TEST(ProfileContract, ASectionIsWrittenWholeOrDeleted) {
  EXPECT_TRUE(this->profile().WriteSection("POS", "A=1\0B=2\0", this->File()));
  EXPECT_EQ(this->Get("POS", nullptr, 32).bytes, std::string("A\0B\0\0", 5));
  EXPECT_EQ(std::string(this->Get("POS", "Port", 32).bytes.c_str()), "none") << "the old entries went";
  EXPECT_TRUE(this->profile().WriteSection("Printer", nullptr, this->File()));
  EXPECT_EQ(this->Get(nullptr, nullptr, 64).bytes, std::string("POS\0\0", 5));
}

TYPED_TEST(ProfileContract, ARewriteTakesOnlyAnExistingFileAndAnAnswer) {
  const std::string before = this->Contents();
  struct Row {
    const char* label;
    Text file;
    std::optional<std::string> answer;
    bool done;
  };
  const std::vector<Row> rows = {
      {"no answer leaves the file", this->File(), std::nullopt, false},
      {"a missing file is not made", this->place.In("none.ini"), "[S]\r\n", false},
      {"an answer replaces the file", this->File(), "[S]\r\nk=v\r\n", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::string seen;
    EXPECT_EQ(this->profile().Rewrite(row.file,
                                      [&](const std::string& bytes) {
                                        seen = bytes;
                                        return row.answer;
                                      }),
              row.done);
    if (row.done) {
      EXPECT_EQ(seen, before);
    }
  }
  EXPECT_FALSE(this->place.files().FileExists(this->place.In("none.ini")));
  EXPECT_EQ(this->Contents(), "[S]\r\nk=v\r\n");
  EXPECT_EQ(std::string(this->Get("s", "K", 16).bytes.c_str()), "v");
  this->place.files().ReplaceFile(this->place.In("empty.ini"), "");
  EXPECT_FALSE(this->profile().Rewrite(this->place.In("empty.ini"), [](const std::string&) {
    return std::optional<std::string>("[S]\r\n");
  })) << "an empty file";
}

}  // namespace
}  // namespace kavrolin::testing
