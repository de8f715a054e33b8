#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "fakes/services_in_prefix.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::toolkit {
namespace {

namespace reg = platform::reg;
using platform::RegHandle;
using namespace std::string_literals;

constexpr int32_t kHKCU = static_cast<int32_t>(reg::kCurrentUser);

// A registry whose keys the caller may only read: opening or creating a key
// for any right that changes the store is refused, as the platform refuses
// it to a caller without write access. Everything else goes to the real one.
class ReadOnlyKeys : public platform::Registry {
 public:
  explicit ReadOnlyKeys(std::shared_ptr<platform::Registry> inner) : inner_(std::move(inner)) {}

  int32_t CreateKey(RegHandle key, std::string_view sub_key, uint32_t access, RegHandle& result,
                    bool* created) override {
    result = 0;
    if (Changes(access)) return reg::kAccessDenied;
    return inner_->OpenKey(key, sub_key, access, result);  // makes nothing
  }
  int32_t OpenKey(RegHandle key, std::string_view sub_key, uint32_t access,
                  RegHandle& result) override {
    result = 0;
    if (Changes(access)) return reg::kAccessDenied;
    return inner_->OpenKey(key, sub_key, access == reg::kMaximumAllowed ? reg::kKeyRead : access,
                           result);
  }
  int32_t QueryValue(RegHandle key, std::string_view name, uint32_t* type, uint8_t* data,
                     uint32_t* size) override {
    return inner_->QueryValue(key, name, type, data, size);
  }
  int32_t SetValue(RegHandle key, std::string_view name, uint32_t type,
                   std::string_view data) override {
    return inner_->SetValue(key, name, type, data);
  }
  int32_t DeleteKey(RegHandle key, std::string_view sub_key) override { return reg::kAccessDenied; }
  int32_t DeleteValue(RegHandle key, std::string_view name) override {
    return inner_->DeleteValue(key, name);
  }
  int32_t DeleteTree(RegHandle key, std::string_view sub_key) override {
    return reg::kAccessDenied;
  }
  int32_t EnumKey(RegHandle key, uint32_t index, std::string& name) override {
    return inner_->EnumKey(key, index, name);
  }
  int32_t EnumValue(RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                    std::string& data) override {
    return inner_->EnumValue(key, index, name, type, data);
  }
  int32_t CloseKey(RegHandle key) override { return inner_->CloseKey(key); }

 private:
  static bool Changes(uint32_t access) {
    return access != reg::kMaximumAllowed && (access & ~reg::kKeyRead) != 0;
  }
  std::shared_ptr<platform::Registry> inner_;
};

// A value stored straight into the registry, and what GetRegKeyValue reads.
struct ReadRow {
  const char* label;
  uint32_t type;
  std::string data;
  Text read;
};

class RegistryMembersTest : public ::testing::Test {
 protected:
  RegistryMembersTest() : ht_(env_.services) {}

  bool Set(int32_t root, Text key, Text name, Text value) {
    return ht_.SetRegKeyValue(root, key, name, value);
  }
  Text Get(int32_t root, Text key, Text name) { return ht_.GetRegKeyValue(root, key, name); }
  bool DelKey(int32_t root, Text key) { return ht_.DelRegKey(root, key); }
  bool DelValue(int32_t root, Text key, Text name) { return ht_.DelRegKeyValue(root, key, name); }

  // Stores a value of any type straight into the registry.
  void Store(std::string_view path, std::string_view name, uint32_t type, std::string_view data) {
    platform::Registry& registry = *env_.services.registry;
    RegHandle key = 0;
    ASSERT_EQ(registry.CreateKey(reg::kCurrentUser, path, reg::kKeyAllAccess, key), reg::kSuccess);
    ASSERT_EQ(registry.SetValue(key, name, type, data), reg::kSuccess);
    registry.CloseKey(key);
  }
  // The type and data of a value as the registry holds it; type 0xFFFFFFFF
  // when it is not there.
  std::pair<uint32_t, std::string> Stored(std::string_view path, std::string_view name) {
    platform::Registry& registry = *env_.services.registry;
    RegHandle key = 0;
    if (registry.OpenKey(reg::kCurrentUser, path, reg::kKeyRead, key) != reg::kSuccess) {
      return {0xFFFFFFFF, ""};
    }
    platform::RegKey owned(registry, key);
    std::string data(4096, '\0');
    uint32_t type = 0, size = 4096;
    if (registry.QueryValue(key, name, &type, reinterpret_cast<uint8_t*>(data.data()), &size) !=
        reg::kSuccess) {
      return {0xFFFFFFFF, ""};
    }
    return {type, data.substr(0, size)};
  }

  // Each row's value under its own name, each read back.
  void ExpectReads(std::span<const ReadRow> rows) {
    for (const ReadRow& row : rows) {
      SCOPED_TRACE(row.label);
      Store("Reads", row.label, row.type, row.data);
      EXPECT_EQ(Get(kHKCU, u"Reads", AsciiText(row.label)), row.read);
    }
  }

  kavrolin::testing::ServicesInPrefix env_;
  clsHT ht_;
};

TEST_F(RegistryMembersTest, SetStoresAStringWithItsZeroAndGetReadsItBack) {
  const struct {
    const char* label;
    Text value;
    Text after;          // the caller's variable after the call
    std::string stored;  // the data the registry holds
    Text read;           // what GetRegKeyValue answers
  } rows[] = {
      {"empty: one space instead", u"", u" ", " \0"s, u" "},
      {"one character", u"x", u"x", "x\0"s, u"x"},
      {"blanks kept", u"  a b  ", u"  a b  ", "  a b  \0"s, u"  a b  "},
      {"double-byte text in the code page", u"中文", u"中文", "\xD6\xD0\xCE\xC4\0"s, u"中文"},
      {"a zero inside ends the read", Text(u"a\0b", 3), Text(u"a\0b", 3), "a\0b\0"s, u"a"},
      {"a character the code page lacks", u"กx", u"?x", "?x\0"s, u"?x"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    int32_t root = kHKCU;
    Text key = u"Software\\Shop", name = u"Value", value = row.value;
    ASSERT_TRUE(ht_.SetRegKeyValue(root, key, name, value));
    EXPECT_EQ(value, row.after);
    EXPECT_EQ(Stored("Software\\Shop", "Value"), std::make_pair(reg::kSz, row.stored));
    EXPECT_EQ(Get(kHKCU, u"Software\\Shop", u"Value"), row.read);
  }
}

TEST_F(RegistryMembersTest, InOutTextsComeBackAsTheyCrossedTheCodePage) {
  int32_t root = kHKCU;
  Text key = u"กKey", name = u"กName", value = u"";
  ASSERT_TRUE(ht_.SetRegKeyValue(root, key, name, value));
  EXPECT_EQ(root, kHKCU);
  EXPECT_EQ(key, u"?Key");
  EXPECT_EQ(name, u"?Name");
  EXPECT_EQ(value, u" ") << "the empty value came back as the space stored";

  Text get_key = u"กKey", get_name = u"กName";
  EXPECT_EQ(ht_.GetRegKeyValue(root, get_key, get_name), u" ");
  EXPECT_EQ(get_key, u"?Key");
  EXPECT_EQ(get_name, u"?Name");

  Text missing_key = u"กMissing", untouched = u"กName";
  EXPECT_EQ(ht_.GetRegKeyValue(root, missing_key, untouched), u"");
  EXPECT_EQ(missing_key, u"?Missing");
  EXPECT_EQ(untouched, u"กName") << "never handed to the registry";

  Text del_key = u"กKey", del_name = u"กName";
  EXPECT_TRUE(ht_.DelRegKeyValue(root, del_key, del_name));
  EXPECT_EQ(del_name, u"?Name");
  EXPECT_TRUE(ht_.DelRegKey(root, del_key));
  EXPECT_EQ(del_key, u"?Key");

  Text bad_root_value = u"";
  int32_t bad_root = 0;
  Text k = u"K", n = u"N";
  EXPECT_FALSE(ht_.SetRegKeyValue(bad_root, k, n, bad_root_value));
  EXPECT_EQ(bad_root_value, u"") << "no space when the key could not be made";
}

TEST_F(RegistryMembersTest, EveryValueTypeReadsAsTheToolkitUnderstandsIt) {
  const ReadRow rows[] = {
      {"dword 0", reg::kDword, "\0\0\0\0"s, u"0"},
      {"dword 256: the zero low byte does not cut it", reg::kDword, "\0\x01\0\0"s, u"256"},
      {"dword 0x7FFFFFFF", reg::kDword, "\xFF\xFF\xFF\x7F", u"2147483647"},
      {"dword 0x80000000 unsigned", reg::kDword, "\0\0\0\x80"s, u"2147483648"},
      {"dword 0xFFFFFFFF unsigned", reg::kDword, "\xFF\xFF\xFF\xFF", u"4294967295"},
      {"dword of two bytes", reg::kDword, "\x05\x01", u"261"},
      {"string", reg::kSz, "abc\0"s, u"abc"},
      {"string without its zero", reg::kSz, "abc", u"abc"},
      {"empty string", reg::kSz, "", u""},
      {"expandable string stays unexpanded", reg::kExpandSz, "%SystemRoot%\\x\0"s,
       u"%SystemRoot%\\x"},
      {"none", reg::kNone, "abc\0"s, u""},
      {"binary", reg::kBinary, "abc\0"s, u""},
      {"big-endian dword", reg::kDwordBigEndian, "\0\0\x01\0"s, u""},
      {"link", reg::kLink, "a\0"s, u""},
      {"multi-string", reg::kMultiSz, "a\0b\0\0"s, u""},
      {"quad word", reg::kQword, "\x01\0\0\0\0\0\0\0"s, u""},
      {"a type no platform defines", 77, "abc\0"s, u""},
  };
  ExpectReads(rows);
}

TEST_F(RegistryMembersTest, ReadBufferHolds1024Bytes) {
  const ReadRow rows[] = {
      {"1,023 characters and the zero", reg::kSz, std::string(1023, 'a') + '\0', Text(1023, u'a')},
      {"1,024 characters and the zero", reg::kSz, std::string(1024, 'b') + '\0', u""},
      {"1,024 bytes without a zero", reg::kSz, std::string(1024, 'c'), Text(1024, u'c')},
      {"511 double-byte characters and the zero", reg::kSz, ToAnsi(Text(511, u'中')) + '\0',
       Text(511, u'中')},
      {"512 double-byte characters and the zero", reg::kSz, ToAnsi(Text(512, u'中')) + '\0', u""},
      {"expandable, 1,025 bytes", reg::kExpandSz, std::string(1024, 'd') + '\0', u""},
      {"dword padded to 1,024 bytes", reg::kDword, "\x2A\0\0\0"s + std::string(1020, '\0'), u"42"},
      {"dword of 1,025 bytes", reg::kDword, "\x2A\0\0\0"s + std::string(1021, '\0'), u""},
  };
  ExpectReads(rows);
  // What SetRegKeyValue writes beyond the buffer is stored whole all the same.
  ASSERT_TRUE(Set(kHKCU, u"Sizes", u"long", Text(2000, u'e')));
  EXPECT_EQ(Stored("Sizes", "long").second, std::string(2000, 'e') + '\0');
  EXPECT_EQ(Get(kHKCU, u"Sizes", u"long"), u"");
}

TEST_F(RegistryMembersTest, NamesMatchWithoutRegardToLetterCase) {
  ASSERT_TRUE(Set(kHKCU, u"Software\\Kavrolin", u"Name", u"first"));
  ASSERT_TRUE(Set(kHKCU, u"SOFTWARE\\KAVROLIN", u"NAME", u"second"));
  const struct {
    const char* label;
    Text key, name, read;
  } rows[] = {
      {"as first written", u"Software\\Kavrolin", u"Name", u"second"},
      {"lower case", u"software\\kavrolin", u"name", u"second"},
      {"mixed", u"sOFTWARE\\kAVROLIN", u"nAME", u"second"},
      {"another name", u"Software\\Kavrolin", u"Names", u""},
      {"another key", u"Software\\Kavrolin2", u"Name", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Get(kHKCU, row.key, row.name), row.read);
  }
  std::string name;
  RegHandle key = 0;
  platform::Registry& registry = *env_.services.registry;
  ASSERT_EQ(registry.OpenKey(reg::kCurrentUser, "software", reg::kKeyRead, key), reg::kSuccess);
  ASSERT_EQ(registry.EnumKey(key, 0, name), reg::kSuccess);
  EXPECT_EQ(name, "Kavrolin") << "the first spelling stays";
  EXPECT_EQ(registry.EnumKey(key, 1, name), reg::kNoMoreItems) << "one key, not two";
  registry.CloseKey(key);
}

TEST_F(RegistryMembersTest, UnknownRootsFailEveryMember) {
  ASSERT_TRUE(Set(kHKCU, u"K", u"v", u"1"));
  const struct {
    const char* label;
    int32_t root;
    bool known;
  } rows[] = {
      {"zero", 0, false},
      {"just below the first root", 0x7FFFFFFF, false},
      {"-1", -1, false},
      {"just above the last root", static_cast<int32_t>(0x80000007u), false},
      {"a small number", 1, false},
      {"the first root", static_cast<int32_t>(reg::kClassesRoot), true},
      {"the last root", static_cast<int32_t>(reg::kDynData), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Set(row.root, u"K", u"v", u"1"), row.known);
    EXPECT_EQ(Get(row.root, u"K", u"v"), row.known ? u"1" : u"");
    EXPECT_EQ(DelValue(row.root, u"K", u"v"), row.known);
    EXPECT_EQ(DelKey(row.root, u"K"), row.known);
  }
  EXPECT_EQ(Get(kHKCU, u"K", u"v"), u"1") << "the other roots never touched this one";
}

TEST_F(RegistryMembersTest, NestedKeysAreMadeAndDeletedLevelByLevel) {
  ASSERT_TRUE(Set(kHKCU, u"L1\\L2\\L3", u"v", u"deep")) << "three levels, none there";
  ASSERT_TRUE(Set(kHKCU, u"L1", u"v", u"top"));
  const struct {
    const char* label;
    Text key;
    bool deleted;
  } steps[] = {
      {"a root itself", u"", false},
      {"a missing key", u"L1\\Nope", false},
      {"a key with a sub-key", u"L1", false},
      {"a middle key with a sub-key", u"l1\\l2", false},
      {"the leaf", u"L1\\L2\\L3", true},
      {"the leaf again", u"L1\\L2\\L3", false},
      {"the middle, now a leaf", u"L1\\L2", true},
      {"the top, now a leaf, with a value", u"L1", true},
      {"a bad path", u"\\L1", false},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.label);
    EXPECT_EQ(DelKey(kHKCU, step.key), step.deleted);
  }
  EXPECT_EQ(Get(kHKCU, u"L1", u"v"), u"");
  ASSERT_TRUE(Set(kHKCU, u"L1", u"other", u"x"));
  EXPECT_EQ(Get(kHKCU, u"L1", u"v"), u"") << "a key made again has none of the old values";
}

TEST_F(RegistryMembersTest, DeleteValueIsTrueWhenTheValueIsGone) {
  ASSERT_TRUE(Set(kHKCU, u"D", u"Here", u"1"));
  ASSERT_TRUE(Set(kHKCU, u"D", u"", u"default"));
  const struct {
    const char* label;
    Text key, name;
    bool answer;
  } steps[] = {
      {"a missing key", u"Missing", u"Here", false},
      {"a missing value under a key that exists", u"D", u"Nothing", true},
      {"an existing value, other letter case", u"d", u"HERE", true},
      {"the same value again", u"D", u"Here", true},
      {"the default value", u"D", u"", true},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.label);
    EXPECT_EQ(DelValue(kHKCU, step.key, step.name), step.answer);
  }
  EXPECT_EQ(Stored("D", "Here").first, 0xFFFFFFFFu);
  EXPECT_EQ(Stored("D", "").first, 0xFFFFFFFFu);
}

TEST_F(RegistryMembersTest, KeysTheCallerMayOnlyReadAreReadable) {
  ASSERT_TRUE(Set(kHKCU, u"RO", u"v", u"kept"));
  ASSERT_TRUE(Set(kHKCU, u"RO\\Sub", u"w", u"1"));
  platform::Services services = env_.services;
  services.registry = std::make_shared<ReadOnlyKeys>(env_.services.registry);
  clsHT reader(services);
  const auto set = [&](Text key, Text name, Text value) {
    int32_t root = kHKCU;
    return reader.SetRegKeyValue(root, key, name, value);
  };
  const auto get = [&](Text key, Text name) {
    int32_t root = kHKCU;
    return reader.GetRegKeyValue(root, key, name);
  };
  const auto del_key = [&](Text key) {
    int32_t root = kHKCU;
    return reader.DelRegKey(root, key);
  };
  const auto del_value = [&](Text key, Text name) {
    int32_t root = kHKCU;
    return reader.DelRegKeyValue(root, key, name);
  };
  EXPECT_EQ(get(u"RO", u"v"), u"kept") << "read with read rights only";
  EXPECT_FALSE(set(u"RO", u"v", u"changed"));
  EXPECT_FALSE(del_key(u"RO\\Sub")) << "refused, so not deleted";
  EXPECT_FALSE(del_value(u"RO", u"v")) << "refused while the value is there";
  EXPECT_TRUE(del_value(u"RO", u"absent")) << "nothing there to delete";
  EXPECT_EQ(Get(kHKCU, u"RO", u"v"), u"kept");
  EXPECT_EQ(Get(kHKCU, u"RO\\Sub", u"w"), u"1");
}

}  // namespace
}  // namespace kavrolin::toolkit
