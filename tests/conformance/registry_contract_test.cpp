// The Registry contract (platform/registry.h), held against every realisation
// this platform has and the fake around it: key paths, names without regard
// to letter case, value sizes, handles and their rights, deletion and the
// orders of enumeration. Every test works below a key of its own, deleted at
// the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "realisations.h"

namespace kavrolin::testing {
namespace {

namespace reg = platform::reg;
using platform::RegHandle;

template <typename Place>
class RegistryContract : public ::testing::Test {
 protected:
  platform::Registry& registry() { return place.registry(); }
  // A key of this process's own: a registry outside a prefix (Windows') is
  // shared by every test process.
  void SetUp() override {
    base_path = "Software\\Kavrolin\\Contract\\" + std::to_string(Place::ProcessId());
    ASSERT_EQ(registry().CreateKey(reg::kCurrentUser, base_path, reg::kKeyAllAccess, base), reg::kSuccess);
  }
  void TearDown() override {
    registry().CloseKey(base);
    EXPECT_EQ(registry().DeleteTree(reg::kCurrentUser, base_path), reg::kSuccess);
  }
  // Opens `path` below the base with `access`; the status.
  int32_t Open(const std::string& path, uint32_t access, RegHandle& key) {
    return registry().OpenKey(base, path, access, key);
  }
  std::string Value(RegHandle key, const std::string& name) {
    std::string data(64, '\0');
    uint32_t size = static_cast<uint32_t>(data.size());
    if (registry().QueryValue(key, name, nullptr, reinterpret_cast<uint8_t*>(data.data()), &size) !=
        reg::kSuccess) {
      return "<none>";
    }
    data.resize(size);
    return data;
  }

  std::string base_path;
  Place place;
  RegHandle base = 0;
};

TYPED_TEST_SUITE(RegistryContract, RegistryRealisations);

TYPED_TEST(RegistryContract, KeyPathsAreCheckedAsThePlatformChecksThem) {
  struct Row {
    const char* label;
    std::string path;
    int32_t create;
  };
  const std::vector<Row> rows = {
      {"one level", "a", reg::kSuccess},
      {"several levels at once", "b\\c\\d", reg::kSuccess},
      {"one trailing separator", "e\\", reg::kSuccess},
      {"a leading separator", "\\f", reg::kBadPathname},
      {"an empty name between two", "g\\\\h", reg::kBadPathname},
      {"a name of 255 characters", std::string(255, 'k'), reg::kSuccess},
      {"a name of 256 characters", std::string(256, 'k'), reg::kInvalidParameter},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle key = 7;
    bool created = false;
    EXPECT_EQ(this->registry().CreateKey(this->base, row.path, reg::kKeyAllAccess, key, &created), row.create);
    if (row.create == reg::kSuccess) {
      EXPECT_TRUE(created);
      EXPECT_NE(key, 0u);
      this->registry().CloseKey(key);
    } else {
      EXPECT_EQ(key, 0u) << "the handle is 0 on failure";
    }
  }
  RegHandle again = 0;
  bool created = true;
  ASSERT_EQ(this->registry().CreateKey(this->base, "B\\C", reg::kKeyRead, again, &created), reg::kSuccess);
  EXPECT_FALSE(created) << "an existing key is opened, whatever its letter case";
  this->registry().CloseKey(again);
  RegHandle missing = 7;
  EXPECT_EQ(this->Open("b\\none", reg::kKeyRead, missing), reg::kFileNotFound);
  EXPECT_EQ(missing, 0u);
}

TYPED_TEST(RegistryContract, ValueNamesMatchWithoutRegardToCaseAndKeepTheirFirstCase) {
  ASSERT_EQ(this->registry().SetValue(this->base, "Path", reg::kSz, std::string("C:\\POS\0", 7)), reg::kSuccess);
  ASSERT_EQ(this->registry().SetValue(this->base, "PATH", reg::kSz, std::string("D:\\\0", 4)), reg::kSuccess);
  ASSERT_EQ(this->registry().SetValue(this->base, "", reg::kDword, std::string("\x01\x00\x00\x00", 4)),
            reg::kSuccess);
  struct Row {
    const char* label;
    std::string name;
    std::string data;
  };
  const std::vector<Row> rows = {
      {"the name as written", "Path", std::string("D:\\\0", 4)},
      {"in other letter case", "path", std::string("D:\\\0", 4)},
      {"the default value", "", std::string("\x01\x00\x00\x00", 4)},
      {"a name ends at its first zero byte", std::string("Path\0x", 6), std::string("D:\\\0", 4)},
      {"a missing value", "none", "<none>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(this->Value(this->base, row.name), row.data);
  }
  std::vector<std::string> names;
  std::string name, data;
  uint32_t type = 0;
  for (uint32_t i = 0; this->registry().EnumValue(this->base, i, name, type, data) == reg::kSuccess; ++i) {
    names.push_back(name);
    if (name == "Path") {
      EXPECT_EQ(type, reg::kSz);
    }
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"", "Path"})) << "one value of each name, in the case first written";
}

TYPED_TEST(RegistryContract, QueryAnswersTheSizeAndRefusesASmallBuffer) {
  const std::string bytes("\x00\x01\x02\x03\x04\x05", 6);
  ASSERT_EQ(this->registry().SetValue(this->base, "bin", reg::kBinary, bytes), reg::kSuccess);
  struct Row {
    const char* label;
    bool with_buffer;
    uint32_t size_in;
    int32_t status;
    uint32_t size_out;
    bool filled;
  };
  const std::vector<Row> rows = {
      {"no buffer: the size only", false, 0, reg::kSuccess, 6, false},
      {"a buffer one byte short", true, 5, reg::kMoreData, 6, false},
      {"a buffer just large enough", true, 6, reg::kSuccess, 6, true},
      {"a larger buffer", true, 16, reg::kSuccess, 6, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::string buffer(16, '\x7f');
    uint32_t size = row.size_in;
    uint32_t type = 0;
    EXPECT_EQ(this->registry().QueryValue(this->base, "bin", &type,
                                          row.with_buffer ? reinterpret_cast<uint8_t*>(buffer.data()) : nullptr,
                                          &size),
              row.status);
    EXPECT_EQ(size, row.size_out);
    EXPECT_EQ(type, reg::kBinary);
    EXPECT_EQ(buffer.substr(0, 6) == bytes, row.filled);
    if (!row.filled) {
      EXPECT_EQ(buffer, std::string(16, '\x7f')) << "the buffer is untouched";
    }
  }
}

TYPED_TEST(RegistryContract, AHandleCarriesTheRightsItWasOpenedWith) {
  RegHandle made = 0;
  ASSERT_EQ(this->registry().CreateKey(this->base, "k", reg::kKeyAllAccess, made), reg::kSuccess);
  ASSERT_EQ(this->registry().SetValue(made, "v", reg::kSz, std::string("1\0", 2)), reg::kSuccess);
  this->registry().CloseKey(made);
  struct Row {
    const char* label;
    uint32_t access;
    int32_t query, set, enumerate;
  };
  const std::vector<Row> rows = {
      {"read", reg::kKeyRead, reg::kSuccess, reg::kAccessDenied, reg::kNoMoreItems},
      {"query only", reg::kQueryValue, reg::kSuccess, reg::kAccessDenied, reg::kAccessDenied},
      {"set only", reg::kSetValue, reg::kAccessDenied, reg::kSuccess, reg::kAccessDenied},
      {"all", reg::kKeyAllAccess, reg::kSuccess, reg::kSuccess, reg::kNoMoreItems},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle key = 0;
    ASSERT_EQ(this->Open("k", row.access, key), reg::kSuccess);
    uint32_t size = 0;
    EXPECT_EQ(this->registry().QueryValue(key, "v", nullptr, nullptr, &size), row.query);
    EXPECT_EQ(this->registry().SetValue(key, "v", reg::kSz, std::string("2\0", 2)), row.set);
    std::string name;
    EXPECT_EQ(this->registry().EnumKey(key, 0, name), row.enumerate);
    EXPECT_EQ(this->registry().CloseKey(key), reg::kSuccess);
  }
}

TYPED_TEST(RegistryContract, HandlesThatNoOpenAnsweredOrWhoseKeyWentAreRefused) {
  EXPECT_EQ(this->registry().CloseKey(reg::kCurrentUser), reg::kSuccess) << "a root is always open";
  std::string name;
  EXPECT_EQ(this->registry().SetValue(0x1234, "v", reg::kSz, "x"), reg::kInvalidHandle);
  EXPECT_EQ(this->registry().EnumKey(0x1234, 0, name), reg::kInvalidHandle);

  RegHandle doomed = 0;
  ASSERT_EQ(this->registry().CreateKey(this->base, "doomed", reg::kKeyAllAccess, doomed), reg::kSuccess);
  ASSERT_EQ(this->registry().DeleteKey(this->base, "doomed"), reg::kSuccess);
  EXPECT_EQ(this->registry().SetValue(doomed, "v", reg::kSz, "x"), reg::kKeyDeleted);
  uint32_t size = 0;
  EXPECT_EQ(this->registry().QueryValue(doomed, "v", nullptr, nullptr, &size), reg::kKeyDeleted);
  EXPECT_EQ(this->registry().CloseKey(doomed), reg::kSuccess);
}

TYPED_TEST(RegistryContract, DeletionRefusesAKeyWithSubKeysAndTheTreeTakesThemAll) {
  RegHandle key = 0;
  ASSERT_EQ(this->registry().CreateKey(this->base, "t\\u\\v", reg::kKeyAllAccess, key), reg::kSuccess);
  this->registry().CloseKey(key);
  ASSERT_EQ(this->registry().SetValue(this->base, "keep", reg::kSz, std::string("1\0", 2)), reg::kSuccess);
  struct Row {
    const char* label;
    std::string path;
    int32_t status;
  };
  const std::vector<Row> rows = {
      {"a key with sub-keys", "t", reg::kAccessDenied},
      {"a missing key", "none", reg::kFileNotFound},
      {"the leaf in other letter case", "T\\U\\V", reg::kSuccess},
      {"the leaf again", "t\\u\\v", reg::kFileNotFound},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(this->registry().DeleteKey(this->base, row.path), row.status);
  }
  EXPECT_EQ(this->registry().DeleteKey(reg::kCurrentUser, ""), reg::kAccessDenied) << "a root";
  EXPECT_EQ(this->registry().DeleteValue(this->base, "none"), reg::kFileNotFound);
  ASSERT_EQ(this->registry().DeleteTree(this->base, ""), reg::kSuccess);
  std::string name;
  EXPECT_EQ(this->registry().EnumKey(this->base, 0, name), reg::kNoMoreItems);
  EXPECT_EQ(this->Value(this->base, "keep"), "<none>") << "the empty path takes the values too";
  RegHandle still = 0;
  EXPECT_EQ(this->registry().OpenKey(reg::kCurrentUser, this->base_path, reg::kKeyRead, still), reg::kSuccess);
  this->registry().CloseKey(still);
}

TYPED_TEST(RegistryContract, SubKeysEnumerateByNameAndValuesInTheOrderWritten) {
  for (const char* name : {"beta", "Alpha", "gamma"}) {
    RegHandle key = 0;
    ASSERT_EQ(this->registry().CreateKey(this->base, name, reg::kKeyAllAccess, key), reg::kSuccess);
    this->registry().CloseKey(key);
  }
  for (const char* name : {"z", "A", "m"}) {
    ASSERT_EQ(this->registry().SetValue(this->base, name, reg::kSz, std::string(name) + '\0'), reg::kSuccess);
  }
  std::vector<std::string> keys, values;
  std::string name;
  uint32_t index = 0;
  while (this->registry().EnumKey(this->base, index++, name) == reg::kSuccess) keys.push_back(name);
  EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  std::string data;
  uint32_t type = 0;
  index = 0;
  while (this->registry().EnumValue(this->base, index++, name, type, data) == reg::kSuccess) values.push_back(name);
  if (TypeParam::kValuesInWrittenOrder) {
    EXPECT_EQ(values, (std::vector<std::string>{"z", "A", "m"}));
  } else {
    EXPECT_EQ(values, (std::vector<std::string>{"A", "m", "z"}));
  }
  EXPECT_EQ(this->registry().EnumKey(this->base, 3, name), reg::kNoMoreItems);
  EXPECT_EQ(this->registry().EnumValue(this->base, 3, name, type, data), reg::kNoMoreItems);
}

}  // namespace
}  // namespace kavrolin::testing
