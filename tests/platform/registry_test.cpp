#include "platform/posix/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/ansi.h"
#include "support/temp_dir.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::TempDir;
using kavrolin::testing::WriteHostFile;
using namespace std::string_literals;

// Names cross the registry in the ANSI code page (936 in the tests).
std::string A(std::u16string_view text) { return ToAnsi(text); }

struct Stored {
  uint32_t type = 0;
  std::string data;
  bool operator==(const Stored&) const = default;
};

// Helpers over one registry; each reports its own unexpected status.
class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest() : prefix_(std::make_shared<Prefix>(dir_.path() / "pfx")), registry_(prefix_) {}

  RegHandle Create(RegHandle key, std::string_view path, uint32_t access = reg::kKeyAllAccess) {
    RegHandle handle = 0;
    EXPECT_EQ(registry_.CreateKey(key, path, access, handle), reg::kSuccess) << path;
    return handle;
  }
  RegHandle Open(RegHandle key, std::string_view path, uint32_t access = reg::kKeyAllAccess) {
    RegHandle handle = 0;
    EXPECT_EQ(registry_.OpenKey(key, path, access, handle), reg::kSuccess) << path;
    return handle;
  }
  void Set(RegHandle key, std::string_view name, uint32_t type, std::string_view data) {
    EXPECT_EQ(registry_.SetValue(key, name, type, data), reg::kSuccess) << name;
  }
  // The value through QueryValue: its size first, then its data.
  std::optional<Stored> Get(Registry& registry, RegHandle key, std::string_view name) {
    Stored stored;
    uint32_t size = 0;
    if (registry.QueryValue(key, name, &stored.type, nullptr, &size) != reg::kSuccess) {
      return std::nullopt;
    }
    std::string buffer(size, '\0');
    EXPECT_EQ(registry.QueryValue(key, name, &stored.type,
                                  reinterpret_cast<uint8_t*>(buffer.data()), &size),
              reg::kSuccess);
    stored.data = buffer.substr(0, size);
    return stored;
  }
  std::optional<Stored> Get(RegHandle key, std::string_view name) {
    return Get(registry_, key, name);
  }
  std::vector<std::string> SubKeys(RegHandle key) {
    std::vector<std::string> names;
    std::string name;
    while (registry_.EnumKey(key, static_cast<uint32_t>(names.size()), name) == reg::kSuccess) {
      names.push_back(name);
    }
    return names;
  }
  std::vector<std::string> ValueNames(RegHandle key) {
    std::vector<std::string> names;
    std::string name, data;
    uint32_t type = 0;
    while (registry_.EnumValue(key, static_cast<uint32_t>(names.size()), name, type, data) ==
           reg::kSuccess) {
      names.push_back(name);
    }
    return names;
  }
  fs::path File() const { return dir_.path() / "pfx" / "registry.db"; }

  TempDir dir_;
  std::shared_ptr<Prefix> prefix_;
  PosixRegistry registry_;
};

// Waits for a child and tells whether it ended with status 0.
bool ChildSucceeded(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(RegistryTest, RootsAreThePredefinedHandleValues) {
  const struct {
    const char* label;
    RegHandle root;
    int32_t status;
  } rows[] = {
      {"just below the first root", 0x7FFFFFFF, reg::kInvalidHandle},
      {"first root", reg::kClassesRoot, reg::kSuccess},
      {"last root", reg::kDynData, reg::kSuccess},
      {"just above the last root", 0x80000007, reg::kInvalidHandle},
      {"zero", 0, reg::kInvalidHandle},
      {"all bits", 0xFFFFFFFF, reg::kInvalidHandle},
      {"a handle never opened", 0x104, reg::kInvalidHandle},
      {"current user", reg::kCurrentUser, reg::kSuccess},
      {"local machine", reg::kLocalMachine, reg::kSuccess},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle handle = 77;
    EXPECT_EQ(registry_.CreateKey(row.root, "Probe", reg::kKeyAllAccess, handle), row.status);
    EXPECT_EQ(handle == 0, row.status != reg::kSuccess);
    registry_.CloseKey(handle);
    EXPECT_EQ(registry_.OpenKey(row.root, "Probe", reg::kKeyRead, handle), row.status);
    registry_.CloseKey(handle);
    EXPECT_EQ(registry_.SetValue(row.root, "v", reg::kSz, "x\0"s), row.status);
    uint32_t size = 0;
    EXPECT_EQ(registry_.QueryValue(row.root, "v", nullptr, nullptr, &size), row.status);
    EXPECT_EQ(registry_.DeleteValue(row.root, "v"), row.status);
  }
}

TEST_F(RegistryTest, EachRootIsATreeOfItsOwn) {
  for (RegHandle root = reg::kClassesRoot; root <= reg::kDynData; ++root) {
    const RegHandle key = Create(root, "Same\\Path");
    Set(key, "root", reg::kDword, std::string(reinterpret_cast<const char*>(&root), 4));
    registry_.CloseKey(key);
  }
  for (RegHandle root = reg::kClassesRoot; root <= reg::kDynData; ++root) {
    SCOPED_TRACE(root);
    const RegHandle key = Open(root, "same\\path");
    EXPECT_EQ(Get(key, "root"),
              (Stored{reg::kDword, std::string(reinterpret_cast<const char*>(&root), 4)}));
    registry_.CloseKey(key);
  }
}

TEST_F(RegistryTest, NamesMatchWithoutRegardToLetterCaseAndKeepTheirCase) {
  // Greek letters exist in both cases in code page 936.
  const RegHandle made = Create(reg::kCurrentUser, A(u"Software\\Kavrolin\\Ωmega"));
  Set(made, "Name", reg::kSz, "first\0"s);
  Set(made, "NAME", reg::kSz, "second\0"s);
  registry_.CloseKey(made);

  const struct {
    const char* label;
    std::u16string path;
    int32_t status;
  } rows[] = {
      {"as written", u"Software\\Kavrolin\\Ωmega", reg::kSuccess},
      {"lower case", u"software\\kavrolin\\ωmega", reg::kSuccess},
      {"upper case", u"SOFTWARE\\KAVROLIN\\ΩMEGA", reg::kSuccess},
      {"another letter", u"Software\\Kavrolin\\Omega", reg::kFileNotFound},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle key = 0;
    ASSERT_EQ(registry_.OpenKey(reg::kCurrentUser, A(row.path), reg::kKeyRead, key), row.status);
    if (key == 0) continue;
    EXPECT_EQ(Get(key, "nAmE"), (Stored{reg::kSz, "second\0"s}));
    EXPECT_EQ(ValueNames(key), std::vector<std::string>{"Name"}) << "the first spelling stays";
    registry_.CloseKey(key);
  }
  EXPECT_EQ(SubKeys(reg::kCurrentUser), std::vector<std::string>{"Software"});
  const RegHandle again = Create(reg::kCurrentUser, "SOFTWARE\\KAVROLIN");
  EXPECT_EQ(SubKeys(again), std::vector<std::string>{A(u"Ωmega")});
  EXPECT_EQ(SubKeys(reg::kCurrentUser), std::vector<std::string>{"Software"});
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndDataByteForByte) {
  const struct {
    const char* label;
    uint32_t type;
    std::string data;
  } rows[] = {
      {"no data", reg::kNone, ""},
      {"empty string", reg::kSz, ""},
      {"string with its zero", reg::kSz, "text\0"s},
      {"string without its zero", reg::kSz, "abc"},
      {"string with a zero inside", reg::kSz, "a\0b\0"s},
      {"double-byte string", reg::kSz, "\xD6\xD0\xCE\xC4\0"s},
      {"expandable string", reg::kExpandSz, "%SystemRoot%\\x\0"s},
      {"binary with zeros", reg::kBinary, "\0\x01\0\xFF"s},
      {"double word 256", reg::kDword, "\0\x01\0\0"s},
      {"double word of two bytes", reg::kDword, "\x05\0"s},
      {"multi-string", reg::kMultiSz, "a\0b\0\0"s},
      {"quad word", reg::kQword, "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {"type no platform defines", 0x12345678, "x"},
      {"large binary", reg::kBinary, std::string(200000, '\xAB')},
  };
  const RegHandle key = Create(reg::kCurrentUser, "Types");
  for (const auto& row : rows) Set(key, row.label, row.type, row.data);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Get(key, row.label), (Stored{row.type, row.data}));
  }
  uint32_t index = 0;
  std::string name, data;
  uint32_t type = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_EQ(registry_.EnumValue(key, index++, name, type, data), reg::kSuccess);
    EXPECT_EQ(name, row.label);
    EXPECT_EQ(type, row.type);
    EXPECT_EQ(data, row.data);
  }
  EXPECT_EQ(registry_.EnumValue(key, index, name, type, data), reg::kNoMoreItems);
}

TEST_F(RegistryTest, QueryAnswersTheSizeAndRefusesASmallBuffer) {
  const RegHandle key = Create(reg::kCurrentUser, "Sizes");
  const std::string ten = "123456789\0"s;
  Set(key, "ten", reg::kSz, ten);
  Set(key, "none", reg::kBinary, "");
  const struct {
    const char* label;
    const char* name;
    bool with_data;
    uint32_t buffer;
    int32_t status;
    uint32_t size_after;
    bool copied;
  } rows[] = {
      {"empty data into no room", "none", true, 0, reg::kSuccess, 0, true},
      {"no room", "ten", true, 0, reg::kMoreData, 10, false},
      {"one byte short", "ten", true, 9, reg::kMoreData, 10, false},
      {"exact fit", "ten", true, 10, reg::kSuccess, 10, true},
      {"one byte spare", "ten", true, 11, reg::kSuccess, 10, true},
      {"size only", "ten", false, 0, reg::kSuccess, 10, false},
      {"size only, with a size given", "ten", false, 3, reg::kSuccess, 10, false},
      {"missing value", "eleven", true, 64, reg::kFileNotFound, 64, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::string buffer(16, '#');
    uint32_t size = row.buffer;
    uint32_t type = 99;
    EXPECT_EQ(registry_.QueryValue(
                  key, row.name, &type,
                  row.with_data ? reinterpret_cast<uint8_t*>(buffer.data()) : nullptr, &size),
              row.status);
    EXPECT_EQ(size, row.size_after);
    const std::string expected = row.copied ? (row.size_after == 10 ? ten : "") : "";
    EXPECT_EQ(buffer.substr(0, expected.size()), expected);
    EXPECT_EQ(buffer.substr(expected.size()), std::string(16 - expected.size(), '#'))
        << "nothing written beyond the data";
    if (row.status != reg::kFileNotFound) {
      EXPECT_EQ(type, row.name[0] == 't' ? reg::kSz : reg::kBinary)
          << "the type comes with the size";
    }
  }
  uint8_t byte = 0;
  EXPECT_EQ(registry_.QueryValue(key, "ten", nullptr, &byte, nullptr), reg::kInvalidParameter);
  EXPECT_EQ(registry_.QueryValue(key, "ten", nullptr, nullptr, nullptr), reg::kSuccess);
}

TEST_F(RegistryTest, PathsAndNamesFollowThePlatformRules) {
  const std::string longest(255, 'k');
  std::string double_byte;
  for (int i = 0; i < 255; ++i) double_byte += A(u"中");
  const struct {
    const char* label;
    std::string path;
    int32_t status;
    std::vector<std::string> levels;  // the sub-keys the path makes, level by level
  } rows[] = {
      {"empty path: the key itself", "", reg::kSuccess, {}},
      {"255 characters", longest, reg::kSuccess, {longest}},
      {"256 characters", longest + "k", reg::kInvalidParameter, {}},
      {"255 double-byte characters", double_byte, reg::kSuccess, {double_byte}},
      {"leading backslash", "\\A", reg::kBadPathname, {}},
      {"empty name between two backslashes", "A\\\\B", reg::kBadPathname, {}},
      {"one trailing backslash", "B\\C\\", reg::kSuccess, {"B", "C"}},
      {"a name ends at its zero", "D\0junk\\more"s, reg::kSuccess, {"D"}},
      // Both characters end in the byte of "\" in code page 936.
      {"second byte of a character is the byte of backslash",
       A(u"乗\\俓"),
       reg::kSuccess,
       {A(u"乗"), A(u"俓")}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    PosixRegistry registry(std::make_shared<Prefix>(dir.path()));
    RegHandle key = 0;
    EXPECT_EQ(registry.CreateKey(reg::kCurrentUser, row.path, reg::kKeyAllAccess, key), row.status);
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKey(reg::kCurrentUser, row.path, reg::kKeyRead, key), row.status);
    registry.CloseKey(key);
    RegHandle level = reg::kCurrentUser;
    for (const std::string& name : row.levels) {
      std::string found;
      ASSERT_EQ(registry.EnumKey(level, 0, found), reg::kSuccess);
      EXPECT_EQ(found, name);
      EXPECT_EQ(registry.EnumKey(level, 1, found), reg::kNoMoreItems);
      ASSERT_EQ(registry.OpenKey(level, name, reg::kKeyRead, level), reg::kSuccess);
    }
  }

  const RegHandle key = Create(reg::kCurrentUser, "Names");
  const struct {
    const char* label;
    std::string name;
    int32_t status;
  } values[] = {
      {"16,383 characters", std::string(16383, 'v'), reg::kSuccess},
      {"16,384 characters", std::string(16384, 'v'), reg::kInvalidParameter},
      {"empty: the default value", "", reg::kSuccess},
  };
  for (const auto& row : values) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(registry_.SetValue(key, row.name, reg::kSz, "x\0"s), row.status);
  }
  EXPECT_EQ(Get(key, "\0ignored"s), (Stored{reg::kSz, "x\0"s}))
      << "a name that ends at once is the default value";
}

TEST_F(RegistryTest, CreateMakesEveryMissingLevel) {
  const struct {
    const char* label;
    RegHandle from;
    const char* path;
    bool created;
  } rows[] = {
      {"three levels, none there", reg::kCurrentUser, "L1\\L2\\L3", true},
      {"the same again", reg::kCurrentUser, "L1\\L2\\L3", false},
      {"one level more", reg::kCurrentUser, "l1\\l2\\l3\\L4", true},
      {"a level that exists", reg::kCurrentUser, "L1", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle key = 0;
    bool created = !row.created;
    ASSERT_EQ(registry_.CreateKey(row.from, row.path, reg::kKeyAllAccess, key, &created),
              reg::kSuccess);
    EXPECT_EQ(created, row.created);
    EXPECT_NE(key, 0u);
    registry_.CloseKey(key);
  }
  const RegHandle l2 = Open(reg::kCurrentUser, "L1\\L2");
  bool created = false;
  const RegHandle below = Create(l2, "Below\\Handle");
  EXPECT_EQ(SubKeys(l2), (std::vector<std::string>{"Below", "L3"}));
  RegHandle again = 0;
  EXPECT_EQ(registry_.CreateKey(reg::kCurrentUser, "L1\\L2\\Below\\Handle", reg::kKeyRead, again,
                                &created),
            reg::kSuccess);
  EXPECT_FALSE(created);
  Set(below, "v", reg::kSz, "1\0"s);
  EXPECT_EQ(Get(again, "v"), (Stored{reg::kSz, "1\0"s}));
}

TEST_F(RegistryTest, OpenFindsOnlyWhatExists) {
  registry_.CloseKey(Create(reg::kCurrentUser, "Here\\Too"));
  const struct {
    const char* label;
    const char* path;
    int32_t status;
  } rows[] = {
      {"the key", "Here\\Too", reg::kSuccess},
      {"a missing last level", "Here\\Not", reg::kFileNotFound},
      {"a missing middle level", "Not\\Too", reg::kFileNotFound},
      {"one level more than there is", "Here\\Too\\Deeper", reg::kFileNotFound},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    RegHandle key = 5;
    EXPECT_EQ(registry_.OpenKey(reg::kCurrentUser, row.path, reg::kKeyRead, key), row.status);
    EXPECT_EQ(key != 0, row.status == reg::kSuccess);
    registry_.CloseKey(key);
  }
  EXPECT_EQ(SubKeys(reg::kCurrentUser), std::vector<std::string>{"Here"})
      << "opening makes nothing";
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysThatHaveSubKeys) {
  const RegHandle c = Create(reg::kCurrentUser, "A\\B\\C");
  Set(c, "v", reg::kSz, "1\0"s);
  registry_.CloseKey(c);
  const struct {
    const char* label;
    RegHandle key;
    const char* path;
    int32_t status;
  } steps[] = {
      {"a root", reg::kCurrentUser, "", reg::kAccessDenied},
      {"top key with sub-keys", reg::kCurrentUser, "A", reg::kAccessDenied},
      {"middle key with a sub-key", reg::kCurrentUser, "a\\b", reg::kAccessDenied},
      {"leaf with a value", reg::kCurrentUser, "A\\B\\C", reg::kSuccess},
      {"the leaf again", reg::kCurrentUser, "A\\B\\C", reg::kFileNotFound},
      {"middle key, now a leaf", reg::kCurrentUser, "A\\B", reg::kSuccess},
      {"top key, now a leaf", reg::kCurrentUser, "A", reg::kSuccess},
      {"a bad path", reg::kCurrentUser, "\\A", reg::kBadPathname},
      {"below an unknown handle", 0x1234, "A", reg::kInvalidHandle},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.label);
    EXPECT_EQ(registry_.DeleteKey(step.key, step.path), step.status);
  }
  EXPECT_TRUE(SubKeys(reg::kCurrentUser).empty());
  const RegHandle made = Create(reg::kCurrentUser, "A\\B\\C");
  EXPECT_TRUE(ValueNames(made).empty()) << "the deleted key's values went with it";
}

TEST_F(RegistryTest, HandleOfADeletedKeyAnswersKeyDeleted) {
  const RegHandle gone = Create(reg::kCurrentUser, "Gone");
  ASSERT_EQ(registry_.DeleteKey(gone, ""), reg::kSuccess);
  registry_.CloseKey(Create(reg::kCurrentUser, "Gone"));  // a new key of the same name
  uint32_t size = 0;
  std::string name;
  RegHandle below = 0;
  EXPECT_EQ(registry_.SetValue(gone, "v", reg::kSz, "x\0"s), reg::kKeyDeleted);
  EXPECT_EQ(registry_.QueryValue(gone, "v", nullptr, nullptr, &size), reg::kKeyDeleted);
  EXPECT_EQ(registry_.EnumKey(gone, 0, name), reg::kKeyDeleted);
  EXPECT_EQ(registry_.CreateKey(gone, "x", reg::kKeyAllAccess, below), reg::kKeyDeleted);
  EXPECT_EQ(registry_.DeleteKey(gone, ""), reg::kKeyDeleted);
  EXPECT_EQ(registry_.CloseKey(gone), reg::kSuccess);
  EXPECT_TRUE(ValueNames(Open(reg::kCurrentUser, "Gone")).empty());
}

TEST_F(RegistryTest, DeleteTreeRemovesEverythingBelow) {
  for (const char* path : {"T\\a\\b", "T\\c", "U"}) {
    const RegHandle key = Create(reg::kCurrentUser, path);
    Set(key, "v", reg::kSz, "1\0"s);
    registry_.CloseKey(key);
  }
  const RegHandle t = Open(reg::kCurrentUser, "T");
  Set(t, "own", reg::kSz, "1\0"s);
  EXPECT_EQ(registry_.DeleteTree(t, ""), reg::kSuccess);
  EXPECT_TRUE(SubKeys(t).empty());
  EXPECT_TRUE(ValueNames(t).empty());
  EXPECT_EQ(SubKeys(reg::kCurrentUser), (std::vector<std::string>{"T", "U"})) << "the key stays";

  registry_.CloseKey(Create(reg::kCurrentUser, "T\\again\\deeper"));
  EXPECT_EQ(registry_.DeleteTree(reg::kCurrentUser, "t"), reg::kSuccess);
  EXPECT_EQ(SubKeys(reg::kCurrentUser), std::vector<std::string>{"U"});
  EXPECT_EQ(registry_.DeleteTree(reg::kCurrentUser, "T"), reg::kFileNotFound);
  EXPECT_EQ(Get(Open(reg::kCurrentUser, "U"), "v"), (Stored{reg::kSz, "1\0"s}));
  EXPECT_EQ(registry_.DeleteTree(reg::kUsers, ""), reg::kSuccess) << "a root empties, and stays";
}

TEST_F(RegistryTest, DeleteValue) {
  const RegHandle key = Create(reg::kCurrentUser, "V");
  Set(key, "Here", reg::kSz, "1\0"s);
  const struct {
    const char* label;
    const char* name;
    int32_t status;
  } steps[] = {
      {"missing", "Nothing", reg::kFileNotFound},
      {"present, other case", "HERE", reg::kSuccess},
      {"deleted already", "Here", reg::kFileNotFound},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.label);
    EXPECT_EQ(registry_.DeleteValue(key, step.name), step.status);
  }
  EXPECT_TRUE(ValueNames(key).empty());
}

TEST_F(RegistryTest, HandlesCarryTheirRights) {
  registry_.CloseKey(Create(reg::kCurrentUser, "R\\Sub"));
  const struct {
    const char* label;
    uint32_t access;
    bool query, set, enumerate;
  } rows[] = {
      {"no rights", 0, false, false, false},
      {"query only", reg::kQueryValue, true, false, false},
      {"set only", reg::kSetValue, false, true, false},
      {"enumerate only", reg::kEnumerateSubKeys, false, false, true},
      {"read", reg::kKeyRead, true, false, true},
      {"the toolkit's rights", 0x2003F, true, true, true},
      {"generic read", 0x80000000, true, false, true},
      {"most allowed", reg::kMaximumAllowed, true, true, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const RegHandle key = Open(reg::kCurrentUser, "R", row.access);
    const auto status = [](bool allowed) { return allowed ? reg::kSuccess : reg::kAccessDenied; };
    EXPECT_EQ(registry_.SetValue(key, "v", reg::kSz, "1\0"s), status(row.set));
    uint32_t size = 0;
    const int32_t queried = registry_.QueryValue(key, "v", nullptr, nullptr, &size);
    EXPECT_TRUE(row.query ? queried != reg::kAccessDenied : queried == reg::kAccessDenied);
    std::string name;
    EXPECT_EQ(registry_.EnumKey(key, 0, name), status(row.enumerate));
    // Sub-keys are the store's business, not the handle's.
    RegHandle sub = 0;
    EXPECT_EQ(registry_.CreateKey(key, "Sub", reg::kKeyRead, sub), reg::kSuccess);
    registry_.CloseKey(sub);
    registry_.CloseKey(key);
  }
}

TEST_F(RegistryTest, HandlesAreThisObjectsAndCloseOnce) {
  const RegHandle key = Create(reg::kCurrentUser, "H");
  PosixRegistry other(prefix_);
  uint32_t size = 0;
  EXPECT_EQ(other.QueryValue(key, "", nullptr, nullptr, &size), reg::kInvalidHandle);
  EXPECT_EQ(other.CloseKey(key), reg::kInvalidHandle);
  EXPECT_EQ(registry_.CloseKey(key), reg::kSuccess);
  EXPECT_EQ(registry_.CloseKey(key), reg::kInvalidHandle);
  EXPECT_EQ(registry_.CloseKey(reg::kLocalMachine), reg::kSuccess);
  EXPECT_EQ(registry_.CloseKey(0), reg::kInvalidHandle);
  {
    const RegKey owned(registry_, Create(reg::kCurrentUser, "H"));
    EXPECT_EQ(registry_.SetValue(owned.get(), "v", reg::kSz, "1\0"s), reg::kSuccess);
    EXPECT_EQ(owned.get() % 4, 0u) << "handles are multiples of four";
  }
}

TEST_F(RegistryTest, EnumerationOrder) {
  for (const char* name : {"b", "C", "a"}) registry_.CloseKey(Create(reg::kCurrentUser, name));
  EXPECT_EQ(SubKeys(reg::kCurrentUser), (std::vector<std::string>{"a", "b", "C"}))
      << "sub-keys by name, without regard to letter case";
  const RegHandle key = Open(reg::kCurrentUser, "a");
  for (const char* name : {"z", "y", "Z", "x"}) Set(key, name, reg::kSz, "1\0"s);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"z", "y", "x"}))
      << "values in the order first written";
  std::string name;
  EXPECT_EQ(registry_.EnumKey(reg::kCurrentUser, 3, name), reg::kNoMoreItems);
  EXPECT_EQ(registry_.EnumKey(reg::kCurrentUser, 0xFFFFFFFF, name), reg::kNoMoreItems);
}

TEST_F(RegistryTest, StoreIsMadeOnFirstUseForItsOwnerOnly) {
  EXPECT_FALSE(fs::exists(File())) << "nothing before the first call";
  const mode_t saved = ::umask(0);  // a permissive umask must not widen the file
  Set(reg::kCurrentUser, "v", reg::kSz, "1\0"s);
  ::umask(saved);
  for (const char* suffix : {"", "-wal", "-shm"}) {
    SCOPED_TRACE(suffix);
    struct stat st {};
    const fs::path path = File().string() + suffix;
    ASSERT_EQ(::stat(path.c_str(), &st), 0) << "the database and its WAL files are there";
    EXPECT_EQ(st.st_mode & 07777, 0600u);
  }
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(File().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &stmt, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "wal");
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}

TEST_F(RegistryTest, FileThatIsNoDatabaseIsLeftAlone) {
  const std::string garbage(4096, 'G');
  WriteHostFile(File(), garbage);
  RegHandle key = 0;
  EXPECT_EQ(registry_.CreateKey(reg::kCurrentUser, "K", reg::kKeyAllAccess, key), reg::kBadDb);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(registry_.SetValue(reg::kCurrentUser, "v", reg::kSz, "1\0"s), reg::kBadDb);
  std::string name;
  EXPECT_EQ(registry_.EnumKey(reg::kCurrentUser, 0, name), reg::kBadDb);
  EXPECT_EQ(ReadHostFile(File()), garbage);
}

// The checks of a process that may only read the store, run in a child: as
// root, the child gives up root first (root may write any file).
TEST_F(RegistryTest, StoreTheProcessMayOnlyReadIsReadable) {
  {
    // Written and closed again, so the reader finds a database that no other
    // connection holds.
    PosixRegistry writer(prefix_);
    RegHandle key = 0;
    ASSERT_EQ(writer.CreateKey(reg::kLocalMachine, "Software\\Shop", reg::kKeyAllAccess, key),
              reg::kSuccess);
    ASSERT_EQ(writer.SetValue(key, "Name", reg::kSz, "till\0"s), reg::kSuccess);
  }
  const bool root = ::geteuid() == 0;
  fs::permissions(dir_.path(), fs::perms(0755));
  fs::permissions(dir_.path() / "pfx", fs::perms(0755));
  for (const auto& entry : fs::directory_iterator(dir_.path() / "pfx")) {
    if (entry.path().filename().string().rfind("registry.db", 0) == 0) {
      fs::permissions(entry.path(), fs::perms(0444));
    }
  }
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    PosixRegistry reader(prefix_);
    const struct {
      const char* label;
      uint32_t access;
      int32_t status;
    } rows[] = {
        {"read", reg::kKeyRead, reg::kSuccess},
        {"query only", reg::kQueryValue, reg::kSuccess},
        {"the toolkit's rights", 0x2003F, reg::kAccessDenied},
        {"set value", reg::kSetValue, reg::kAccessDenied},
        {"most allowed", reg::kMaximumAllowed, reg::kSuccess},
    };
    for (const auto& row : rows) {
      SCOPED_TRACE(row.label);
      RegHandle opened = 0;
      EXPECT_EQ(reader.OpenKey(reg::kLocalMachine, "software\\shop", row.access, opened),
                row.status);
      if (opened == 0) continue;
      EXPECT_EQ(Get(reader, opened, "name"), (Stored{reg::kSz, "till\0"s}));
      EXPECT_EQ(reader.SetValue(opened, "Name", reg::kSz, "x\0"s), reg::kAccessDenied);
      EXPECT_EQ(reader.DeleteValue(opened, "Name"), reg::kAccessDenied);
      reader.CloseKey(opened);
    }
    RegHandle made = 0;
    EXPECT_EQ(reader.CreateKey(reg::kLocalMachine, "Software\\Shop", reg::kKeyRead, made),
              reg::kSuccess)
        << "a key that exists opens";
    EXPECT_EQ(reader.CreateKey(reg::kLocalMachine, "Software\\New", reg::kKeyRead, made),
              reg::kAccessDenied);
    EXPECT_EQ(reader.DeleteKey(reg::kLocalMachine, "Software\\Shop"), reg::kAccessDenied);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  EXPECT_TRUE(ChildSucceeded(pid)) << "see the child's failures above";
}

TEST_F(RegistryTest, ThreadsOfOneProcessShareOneObject) {
  constexpr int kThreads = 4;
  constexpr int kValues = 50;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int v = 0; v < kValues; ++v) {
        RegHandle key = 0;
        if (registry_.CreateKey(reg::kCurrentUser, "Threads", reg::kKeyAllAccess, key) !=
            reg::kSuccess) {
          ++failures;
          continue;
        }
        const std::string name = "t" + std::to_string(t) + "v" + std::to_string(v);
        if (registry_.SetValue(key, name, reg::kSz, name) != reg::kSuccess) ++failures;
        if (registry_.CloseKey(key) != reg::kSuccess) ++failures;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(ValueNames(Open(reg::kCurrentUser, "Threads")).size(),
            static_cast<size_t>(kThreads * kValues));
}

// The children below open their own connections: SQLite forbids using a
// connection across fork(), so the parent holds none while they run.
TEST_F(RegistryTest, ProcessesWritingTheSameKeyLoseNoUpdate) {
  constexpr int kProcesses = 3;
  constexpr int kValues = 150;
  const struct {
    const char* label;
    bool store_exists;  // false: the writers race to make the store too
  } rows[] = {
      {"store made by the writers themselves", false},
      {"store made before the writers", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TempDir dir;
    const auto prefix = std::make_shared<Prefix>(dir.path());
    if (row.store_exists) {
      PosixRegistry before(prefix);
      ASSERT_EQ(before.SetValue(reg::kCurrentUser, "made before", reg::kSz, "1\0"s), reg::kSuccess);
    }
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        ::close(start[1]);
        char go;
        if (::read(start[0], &go, 1) != 0) ::_exit(3);  // every child starts at once
        PosixRegistry writer(prefix);
        int failures = 0;
        for (int v = 0; v < kValues; ++v) {
          RegHandle key = 0;
          if (writer.CreateKey(reg::kCurrentUser, "Shared\\Key", 0x2003F, key) != reg::kSuccess) {
            ++failures;
            continue;
          }
          const std::string name = "p" + std::to_string(p) + "v" + std::to_string(v);
          if (writer.SetValue(key, name, reg::kSz, name + '\0') != reg::kSuccess) ++failures;
          if (writer.SetValue(key, "Last", reg::kSz, name + '\0') != reg::kSuccess) ++failures;
          writer.CloseKey(key);
        }
        ::_exit(failures == 0 ? 0 : 1);
      }
      children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t pid : children) EXPECT_TRUE(ChildSucceeded(pid)) << "a writer saw a failure";

    PosixRegistry after(prefix);
    RegHandle key = 0;
    ASSERT_EQ(after.OpenKey(reg::kCurrentUser, "shared\\key", reg::kKeyRead, key), reg::kSuccess);
    size_t values = 0;
    std::string name, data;
    uint32_t type = 0;
    while (after.EnumValue(key, static_cast<uint32_t>(values), name, type, data) == reg::kSuccess) {
      ++values;
    }
    EXPECT_EQ(values, static_cast<size_t>(kProcesses * kValues + 1));
    for (int p = 0; p < kProcesses; ++p) {
      for (int v = 0; v < kValues; ++v) {
        const std::string value = "p" + std::to_string(p) + "v" + std::to_string(v);
        ASSERT_EQ(Get(after, key, value), (Stored{reg::kSz, value + '\0'}));
      }
    }
    const std::optional<Stored> last = Get(after, key, "Last");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->data.substr(last->data.size() - 5), "v" + std::to_string(kValues - 1) + '\0')
        << "the last write of one of the writers";
    std::string second;
    EXPECT_EQ(after.EnumKey(reg::kCurrentUser, 1, second), reg::kNoMoreItems)
        << "one key made, not one per writer";
  }
}

// A writer killed at any instant: every call it had seen answered stays
// whole, the call it was in is whole or absent, and the store still takes
// writes. The child reports each answered call through a pipe before it
// starts the next.
TEST_F(RegistryTest, WriterKilledAtAnyInstantKeepsEveryAnsweredWrite) {
  const auto data_of = [](int round, int i) {
    return std::string(3000 + i, static_cast<char>('a' + (round + i) % 26));
  };
  const auto path_of = [](int round, int i) {
    return "Killed\\r" + std::to_string(round) + "\\k" + std::to_string(i);
  };
  size_t total = 0;
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    int answered[2];
    ASSERT_EQ(::pipe(answered), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(answered[0]);
      PosixRegistry writer(prefix_);
      for (int32_t i = 0;; ++i) {
        RegHandle key = 0;
        if (writer.CreateKey(reg::kCurrentUser, path_of(round, i), reg::kKeyAllAccess, key) !=
                reg::kSuccess ||
            writer.SetValue(key, "data", reg::kBinary, data_of(round, i)) != reg::kSuccess) {
          ::_exit(1);
        }
        writer.CloseKey(key);
        if (::write(answered[1], &i, sizeof i) != sizeof i) ::_exit(3);
      }
    }
    ::close(answered[1]);
    int32_t last = -1;
    // Some calls answered first, then a different instant each round.
    while (last < 3 && ::read(answered[0], &last, sizeof last) == sizeof last) {
    }
    ::usleep(static_cast<useconds_t>(2000 + round * 3000));
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed";
    int32_t next = 0;
    while (::read(answered[0], &next, sizeof next) == sizeof next) last = next;
    ::close(answered[0]);
    ASSERT_GE(last, 3);

    PosixRegistry reader(prefix_);
    for (int32_t i = 0; i <= last + 1; ++i) {
      RegHandle key = 0;
      const int32_t opened =
          reader.OpenKey(reg::kCurrentUser, path_of(round, i), reg::kKeyRead, key);
      if (i > last) {
        // The call the writer was in: whole (with or without its value) or absent.
        if (opened == reg::kSuccess) {
          const std::optional<Stored> value = Get(reader, key, "data");
          if (value) {
            EXPECT_EQ(value->data, data_of(round, i));
          }
        } else {
          EXPECT_EQ(opened, reg::kFileNotFound);
        }
      } else {
        ASSERT_EQ(opened, reg::kSuccess) << "answered key " << i << " is missing";
        EXPECT_EQ(Get(reader, key, "data"), (Stored{reg::kBinary, data_of(round, i)}))
            << "answered value " << i;
      }
      reader.CloseKey(key);
    }
    total += static_cast<size_t>(last) + 1;
    EXPECT_EQ(reader.SetValue(reg::kCurrentUser, "after", reg::kSz, "1\0"s), reg::kSuccess);
  }
  EXPECT_GT(total, 24u);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(File().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok");
  sqlite3_finalize(stmt);
  sqlite3_close(db);
}


namespace one_call {

// What a registry holds at HKCU\Shop\Till after a call, and what it answered.
struct Outcome {
  int32_t status = -1;
  bool opened = false;
  bool key_there = false;
  std::optional<Stored> value;
  bool operator==(const Outcome&) const = default;
};

std::optional<Stored> ValueAt(Registry& registry, std::string_view path, std::string_view name) {
  RegHandle key = 0;
  if (registry.OpenKey(reg::kCurrentUser, path, reg::kKeyRead, key) != reg::kSuccess) {
    return std::nullopt;
  }
  const RegKey owned(registry, key);
  uint8_t data[64] = {};
  uint32_t size = sizeof data;
  Stored stored;
  if (registry.QueryValue(key, name, &stored.type, data, &size) != reg::kSuccess) return std::nullopt;
  stored.data.assign(reinterpret_cast<char*>(data), size);
  return stored;
}

bool KeyThere(Registry& registry, std::string_view path) {
  RegHandle key = 0;
  const bool there = registry.OpenKey(reg::kCurrentUser, path, reg::kKeyRead, key) == reg::kSuccess;
  registry.CloseKey(key);
  return there;
}

}  // namespace one_call

// The store's one-transaction forms answer, and leave the store, exactly as
// the three calls they stand for (the interface's own composition, run on a
// store of its own).
TEST_F(RegistryTest, OneCallSetAnswersAsCreateSetClose) {
  const std::string long_name(16384, 'n');
  const struct {
    const char* label;
    RegHandle root;
    std::string path;
    uint32_t access;
    std::string name;
  } rows[] = {
      {"bad_handle", 0x1234, "Shop\\Till", reg::kKeyAllAccess, "v"},
      {"leading_separator", reg::kCurrentUser, "\\Shop\\Till", reg::kKeyAllAccess, "v"},
      {"empty_level", reg::kCurrentUser, "Shop\\\\Till", reg::kKeyAllAccess, "v"},
      {"key_name_too_long", reg::kCurrentUser, "Shop\\" + std::string(256, 'k'), reg::kKeyAllAccess, "v"},
      {"value_name_too_long_keeps_the_key", reg::kCurrentUser, "Shop\\Till", reg::kKeyAllAccess, long_name},
      {"no_right_to_set_keeps_the_key", reg::kCurrentUser, "Shop\\Till", reg::kKeyRead, "v"},
      {"new_key", reg::kCurrentUser, "Shop\\Till", reg::kKeyAllAccess, "v"},
      {"existing_key_other_case", reg::kCurrentUser, "SHOP\\till\\", reg::kKeyAllAccess, "V"},
  };
  for (const bool existing : {false, true}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.label) + (existing ? " / key there before" : " / empty store"));
      one_call::Outcome outcomes[2];
      for (const bool composed : {false, true}) {
        TempDir dir;
        PosixRegistry store(std::make_shared<Prefix>(dir.path() / "pfx"));
        if (existing) {
          ASSERT_EQ(store.SetKeyValue(reg::kCurrentUser, "Shop\\Till", reg::kKeyAllAccess, "v",
                                      reg::kSz, "old"s, nullptr),
                    reg::kSuccess);
        }
        one_call::Outcome& out = outcomes[composed];
        const std::string data("new\0", 4);
        out.status = composed ? store.Registry::SetKeyValue(row.root, row.path, row.access, row.name,
                                                           reg::kSz, data, &out.opened)
                              : store.SetKeyValue(row.root, row.path, row.access, row.name,
                                                  reg::kSz, data, &out.opened);
        out.key_there = one_call::KeyThere(store, "Shop\\Till");
        out.value = one_call::ValueAt(store, "Shop\\Till", "v");
      }
      EXPECT_EQ(outcomes[0], outcomes[1]) << "status " << outcomes[0].status << " / "
                                          << outcomes[1].status;
      // Starting empty, the key is there exactly when the call reports it made.
      if (!existing) {
        EXPECT_EQ(outcomes[0].opened, outcomes[0].key_there);
      }
    }
  }
}

TEST_F(RegistryTest, OneCallQueryAnswersAsOpenQueryClose) {
  const RegHandle till = Create(reg::kCurrentUser, "Shop\\Till");
  Set(till, "v", reg::kSz, "twelve bytes"s);
  registry_.CloseKey(till);
  Set(reg::kCurrentUser, "v", reg::kSz, "at the root"s);
  // Eight levels below the root, and a ninth below them.
  const RegHandle eighth = Create(reg::kCurrentUser, "Shop\\A\\B\\C\\D\\E\\F\\G");
  Set(eighth, "v", reg::kDword, "\x08\0\0\0"s);
  const RegHandle ninth = Create(eighth, "H");
  Set(ninth, "v", reg::kDword, "\x09\0\0\0"s);
  registry_.CloseKey(ninth);
  const RegHandle shop = Open(reg::kCurrentUser, "Shop");
  const RegHandle gone = Create(reg::kCurrentUser, "Gone");
  ASSERT_EQ(registry_.DeleteKey(gone, ""), reg::kSuccess);
  const std::string long_name(16384, 'n');
  const struct {
    const char* label;
    int32_t status;  // as open, query and close answer it
    RegHandle from;
    std::string path;
    uint32_t access;
    std::string name;
    uint32_t buffer;  // 0: no data buffer
    bool size_given;
  } rows[] = {
      {"missing_key", reg::kFileNotFound, reg::kCurrentUser, "Shop\\Nowhere", reg::kKeyRead, "v",
       64, true},
      {"missing_middle_level", reg::kFileNotFound, reg::kCurrentUser, "Shop\\X\\Till",
       reg::kKeyRead, "v", 64, true},
      {"bad_path", reg::kBadPathname, reg::kCurrentUser, "Shop\\\\Till", reg::kKeyRead, "v", 64,
       true},
      {"missing_value", reg::kFileNotFound, reg::kCurrentUser, "Shop\\Till", reg::kKeyRead, "w", 64,
       true},
      {"value_name_too_long", reg::kInvalidParameter, reg::kCurrentUser, "Shop\\Till",
       reg::kKeyRead, long_name, 64, true},
      {"name_too_long_key_missing", reg::kFileNotFound, reg::kCurrentUser, "Shop\\No",
       reg::kKeyRead, long_name, 64, true},
      {"no_right_to_query", reg::kAccessDenied, reg::kCurrentUser, "Shop\\Till", reg::kSetValue,
       "v", 64, true},
      {"data_without_size", reg::kInvalidParameter, reg::kCurrentUser, "Shop\\Till", reg::kKeyRead,
       "v", 64, false},
      {"buffer_too_small", reg::kMoreData, reg::kCurrentUser, "Shop\\Till", reg::kKeyRead, "v", 4,
       true},
      {"size_only", reg::kSuccess, reg::kCurrentUser, "Shop\\Till", reg::kKeyRead, "v", 0, true},
      {"present_value_other_case", reg::kSuccess, reg::kCurrentUser, "shop\\TILL", reg::kKeyRead,
       "V", 64, true},
      {"value_of_the_root_itself", reg::kSuccess, reg::kCurrentUser, "", reg::kKeyRead, "v", 64,
       true},
      {"eight_levels", reg::kSuccess, reg::kCurrentUser, "shop\\a\\b\\c\\d\\e\\f\\g", reg::kKeyRead,
       "v", 64, true},
      {"nine_levels", reg::kSuccess, reg::kCurrentUser, "Shop\\A\\B\\C\\D\\E\\F\\G\\H",
       reg::kKeyRead, "v", 64, true},
      {"nine_levels_last_missing", reg::kFileNotFound, reg::kCurrentUser,
       "Shop\\A\\B\\C\\D\\E\\F\\G\\I", reg::kKeyRead, "v", 64, true},
      {"below_an_open_key", reg::kSuccess, shop, "Till", reg::kKeyRead, "v", 64, true},
      {"open_key_itself", reg::kFileNotFound, shop, "", reg::kKeyRead, "v", 64, true},
      {"below_a_deleted_key", reg::kKeyDeleted, gone, "Till", reg::kKeyRead, "v", 64, true},
      {"deleted_key_bad_path", reg::kKeyDeleted, gone, "A\\\\B", reg::kKeyRead, "v", 64, true},
      {"unknown_handle", reg::kInvalidHandle, 0x4444, "Till", reg::kKeyRead, "v", 64, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    struct Answer {
      int32_t status = -1;
      bool opened = false;
      uint32_t type = 0, size = 0;
      std::string data;
      bool operator==(const Answer&) const = default;
    } answers[2];
    for (const bool composed : {false, true}) {
      Answer& a = answers[composed];
      std::string buffer(row.buffer, '\0');
      a.size = row.buffer;
      uint8_t* data = row.buffer == 0 ? nullptr : reinterpret_cast<uint8_t*>(buffer.data());
      uint32_t* size = row.size_given ? &a.size : nullptr;
      a.status = composed ? registry_.Registry::QueryKeyValue(row.from, row.path, row.access,
                                                             row.name, &a.type, data, size,
                                                             &a.opened)
                          : registry_.QueryKeyValue(row.from, row.path, row.access, row.name,
                                                    &a.type, data, size, &a.opened);
      a.data = buffer;
    }
    EXPECT_EQ(answers[0], answers[1]) << "status " << answers[0].status << " / "
                                      << answers[1].status;
    EXPECT_EQ(answers[1].status, row.status);
  }
  uint8_t data[64] = {};
  uint32_t size = sizeof data;
  bool opened = false;
  EXPECT_EQ(registry_.QueryKeyValue(reg::kCurrentUser, "Shop\\Till", reg::kKeyRead, "v", nullptr,
                                    data, &size, &opened),
            reg::kSuccess);
  EXPECT_TRUE(opened);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "twelve bytes");
}

}  // namespace
}  // namespace kavrolin::platform::posix
