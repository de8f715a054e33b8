#include "platform/win32/registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

namespace kavrolin::platform::win32 {
namespace {

// Every test works below a key of its own, deleted with everything in it at
// the end (the checks run in a private Wine prefix's registry).
class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_path = "Software\\Kavrolin\\Tests\\" + std::to_string(::GetCurrentProcessId());
    ASSERT_EQ(reg::kSuccess, registry.CreateKey(reg::kCurrentUser, base_path, reg::kKeyAllAccess, base));
  }
  void TearDown() override {
    registry.CloseKey(base);
    registry.DeleteTree(reg::kCurrentUser, base_path);
    registry.DeleteKey(reg::kCurrentUser, base_path);
  }

  Win32Registry registry;
  std::string base_path;
  RegHandle base = 0;
};

TEST_F(Win32RegistryTest, ValuesRoundTripByteForByte) {
  struct Row {
    const char* label;
    std::string name;
    uint32_t type;
    std::string data;
  };
  const std::vector<Row> rows = {
      {"empty default value", "", reg::kSz, std::string("\0", 1)},
      {"ANSI text", "Name", reg::kSz, std::string("\xC4\xFA\xBA\xC3", 4) + '\0'},
      {"dword", "Count", reg::kDword, std::string("\x01\x02\x03\x04", 4)},
      {"binary with zeros", "Blob", reg::kBinary, std::string("a\0b\0", 4)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_EQ(reg::kSuccess, registry.SetValue(base, row.name, row.type, row.data));
    uint32_t type = 0;
    uint32_t size = 0;
    ASSERT_EQ(reg::kSuccess, registry.QueryValue(base, row.name, &type, nullptr, &size));
    EXPECT_EQ(row.type, type);
    ASSERT_EQ(row.data.size(), size);
    std::vector<uint8_t> data(size);
    ASSERT_EQ(reg::kSuccess, registry.QueryValue(base, row.name, &type, data.data(), &size));
    EXPECT_EQ(row.data, std::string(data.begin(), data.end()));
  }
}

TEST_F(Win32RegistryTest, ShortBufferAnswersMoreDataAndLeavesItAlone) {
  ASSERT_EQ(reg::kSuccess, registry.SetValue(base, "Long", reg::kSz, std::string("abcdef") + '\0'));
  uint8_t buffer[4] = {'x', 'x', 'x', 'x'};
  uint32_t size = sizeof buffer;
  EXPECT_EQ(reg::kMoreData, registry.QueryValue(base, "Long", nullptr, buffer, &size));
  EXPECT_EQ(7u, size);
  EXPECT_EQ(std::string("xxxx"), std::string(buffer, buffer + 4));
}

TEST_F(Win32RegistryTest, StatusCodesOfMissingAndRefusedItems) {
  RegHandle opened = 0;
  EXPECT_EQ(reg::kFileNotFound, registry.OpenKey(base, "Missing", reg::kKeyRead, opened));
  EXPECT_EQ(0u, opened);
  EXPECT_EQ(reg::kFileNotFound, registry.DeleteValue(base, "Missing"));
  RegHandle child = 0;
  ASSERT_EQ(reg::kSuccess, registry.CreateKey(base, "Parent\\Child", reg::kKeyAllAccess, child));
  registry.CloseKey(child);
  // A key with sub-keys is not deleted by DeleteKey.
  EXPECT_EQ(reg::kAccessDenied, registry.DeleteKey(base, "Parent"));
  EXPECT_EQ(reg::kSuccess, registry.DeleteTree(base, "Parent"));
  EXPECT_EQ(reg::kFileNotFound, registry.OpenKey(base, "Parent", reg::kKeyRead, opened));
}

TEST_F(Win32RegistryTest, EnumeratesSubKeysAndValues) {
  for (const char* name : {"b", "A"}) {
    RegHandle key = 0;
    ASSERT_EQ(reg::kSuccess, registry.CreateKey(base, name, reg::kKeyAllAccess, key));
    registry.CloseKey(key);
  }
  ASSERT_EQ(reg::kSuccess, registry.SetValue(base, "v", reg::kSz, std::string("1") + '\0'));
  std::vector<std::string> keys;
  std::string name;
  for (uint32_t i = 0; registry.EnumKey(base, i, name) == reg::kSuccess; ++i) keys.push_back(name);
  EXPECT_EQ((std::vector<std::string>{"A", "b"}), keys);
  uint32_t type = 0;
  std::string data;
  ASSERT_EQ(reg::kSuccess, registry.EnumValue(base, 0, name, type, data));
  EXPECT_EQ("v", name);
  EXPECT_EQ(std::string("1") + '\0', data);
  EXPECT_EQ(reg::kNoMoreItems, registry.EnumValue(base, 1, name, type, data));
}

}  // namespace
}  // namespace kavrolin::platform::win32
