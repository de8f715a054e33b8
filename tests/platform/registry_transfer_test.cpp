#include "platform/common/registry_transfer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/posix/registry.h"
#include "rules/registry_text_rows.h"
#include "support/temp_dir.h"

namespace kavrolin::platform {

using rules::ParseRegText;
using rules::RegText;
using rules::RegTextKey;
using rules::RegTextValue;
using rules::WriteRegText;
namespace {

using kavrolin::testing::TempDir;
using namespace rules::testing_rows;

// Export and import through a real registry in a temporary prefix.
class RegistryTransferTest : public ::testing::Test {
 protected:
  RegistryTransferTest() : registry_(std::make_shared<posix::Prefix>(dir_.path())) {}
  void Import(const std::string& bytes) {
    size_t line = 99;
    ASSERT_EQ(ImportRegText(registry_, ParseRegText(bytes), line), reg::kSuccess) << line;
    EXPECT_EQ(line, 0u);
  }
  TempDir dir_;
  posix::PosixRegistry registry_;
};

TEST_F(RegistryTransferTest, ImportedKeysExportTheSame) {
  RegText text = EveryKind();
  text.keys.erase(text.keys.begin() + 2);  // the deleted key is not exported
  text.keys[0].values.pop_back();          // nor the deleted value
  Import(WriteRegText(text));
  RegText all;
  ASSERT_EQ(ExportAll(registry_, all), reg::kSuccess);
  // The registry lists each root and every level of a path as a key.
  std::vector<std::string> expected = {
      "[HKEY_CURRENT_USER\\]",
      "[HKEY_CURRENT_USER\\Software]",
      "[HKEY_CURRENT_USER\\Software\\Shop 中文]",
  };
  for (const RegTextValue& value : text.keys[0].values) expected.push_back(Describe(value));
  for (const char* line : {"[HKEY_LOCAL_MACHINE\\]", "[HKEY_LOCAL_MACHINE\\Software]",
                           "[HKEY_LOCAL_MACHINE\\Software\\Shop]", "[HKEY_USERS\\]"}) {
    expected.push_back(line);
  }
  expected.push_back(Describe(text.keys[2].values[0]));
  EXPECT_EQ(Describe(all), expected);

  RegText one;
  ASSERT_EQ(ExportKey(registry_, reg::kLocalMachine, u"software\\", one), reg::kSuccess);
  EXPECT_EQ(Describe(one), (std::vector<std::string>{"[HKEY_LOCAL_MACHINE\\software]",
                                                     "[HKEY_LOCAL_MACHINE\\software\\Shop]"}));
  RegText none;
  EXPECT_EQ(ExportKey(registry_, reg::kLocalMachine, u"Nope", none), reg::kFileNotFound);
  EXPECT_TRUE(none.keys.empty());
}

TEST_F(RegistryTransferTest, DeletionsRemoveTreesAndValues) {
  Import(
      "REGEDIT4\n[HKCU\\Old\\Deep\\Deeper]\n\"v\"=\"1\"\n[HKCU\\Keep]\n\"a\"=\"1\"\n\"b\"=\"2\"\n");
  Import("REGEDIT4\n[-HKCU\\Old]\n[-HKCU\\Never\\There]\n[HKCU\\Keep]\n\"a\"=-\n\"missing\"=-\n");
  RegText all;
  ASSERT_EQ(ExportAll(registry_, all), reg::kSuccess);
  EXPECT_EQ(Describe(all),
            (std::vector<std::string>{"[HKEY_CURRENT_USER\\]", "[HKEY_CURRENT_USER\\Keep]",
                                      Describe(Value(u"b", reg::kSz, "2\0"s))}));
}

TEST_F(RegistryTransferTest, ARefusedChangeNamesItsLine) {
  const std::string text = "REGEDIT4\n[HKCU\\A]\n\"v\"=\"1\"\n[HKCU\\B\\\\C]\n\"w\"=\"2\"\n";
  size_t line = 0;
  EXPECT_EQ(ImportRegText(registry_, ParseRegText(text), line), reg::kBadPathname);
  EXPECT_EQ(line, 4u);
  RegText all;
  ASSERT_EQ(ExportAll(registry_, all), reg::kSuccess);
  EXPECT_EQ(Describe(all),
            (std::vector<std::string>{"[HKEY_CURRENT_USER\\]", "[HKEY_CURRENT_USER\\A]",
                                      Describe(Value(u"v", reg::kSz, "1\0"s))}))
      << "what came before the refused line stays";
}
}  // namespace
}  // namespace kavrolin::platform
