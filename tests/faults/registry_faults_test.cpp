// Fault sweeps of registry writes. The platform path (create or open a key,
// set a value, close the key) through the faulty registry: whatever call
// fails, the answer is a failure status with the earlier value whole, or
// success with the new one. The toolkit's writers, SetRegKeyValue and
// DelRegKeyValue, with the registry service failing and with the system's
// file functions failing underneath the database: a true answer means the
// change is in the store, a false one leaves the value as it was or (when
// only the closing steps failed) changed. Either way the key's other value
// keeps its bytes and the next write succeeds.
#include <gtest/gtest.h>

#include <string>

#include "faults/fault_sweep.h"
#include "toolkit/registry/registry_writing.h"

namespace kavrolin::testing {
namespace {

namespace reg = platform::reg;

const std::string kEarlier("earlier till\0", 13);
const std::string kOther("other value\0", 12);
const std::string kNew("new till\0", 9);

// Creates Software\Shop below HKCU and sets one value; the first failing
// status, kSuccess when all went.
int32_t WriteValue(platform::Registry& registry, const char* name, const std::string& data) {
  platform::RegHandle key = 0;
  int32_t status = registry.CreateKey(reg::kCurrentUser, "Software\\Shop", reg::kKeyWrite, key);
  if (status != reg::kSuccess) return status;
  status = registry.SetValue(key, name, reg::kSz, data);
  const int32_t closed = registry.CloseKey(key);
  return status != reg::kSuccess ? status : closed;
}

std::string ReadValue(platform::Registry& registry, const char* name) {
  platform::RegHandle key = 0;
  if (registry.OpenKey(reg::kCurrentUser, "Software\\Shop", reg::kKeyRead, key) != reg::kSuccess) {
    return "(no key)";
  }
  const platform::RegKey owned(registry, key);
  uint8_t data[64] = {};
  uint32_t size = sizeof data;
  if (registry.QueryValue(key, name, nullptr, data, &size) != reg::kSuccess) return "(no value)";
  return std::string(reinterpret_cast<char*>(data), size);
}

TEST(RegistryFaults, ValueIsOldOrNewAndOthersStay) {
  for (const bool existed : {false, true}) {
    SCOPED_TRACE(existed ? "value written before" : "new value in an existing key");
    const int runs = Sweep(Layer::kServices, [&](Layer l, int nth, int failure) {
      FaultFixture f(l);
      platform::Registry& real = *f.env.services.registry;
      EXPECT_EQ(WriteValue(real, "Other", kOther), reg::kSuccess);
      if (existed) {
        EXPECT_EQ(WriteValue(real, "Till", kEarlier), reg::kSuccess);
      }
      int32_t status = -1;
      const auto calls =
          f.Armed(nth, failure, [&] { status = WriteValue(*f.services.registry, "Till", kNew); });
      if (nth == 0) {
        EXPECT_EQ(status, reg::kSuccess);
      }
      const std::string before = existed ? kEarlier : "(no value)";
      const std::string now = ReadValue(real, "Till");
      // A failing close comes after the value was stored.
      const bool stored = status == reg::kSuccess || (f.fired() && calls[nth - 1] == "CloseKey");
      EXPECT_EQ(now, stored ? kNew : before);
      EXPECT_EQ(ReadValue(real, "Other"), kOther);
      EXPECT_EQ(WriteValue(real, "Till", kNew), reg::kSuccess);
      EXPECT_EQ(ReadValue(real, "Till"), kNew);
      return calls;
    });
    EXPECT_GT(runs, 0);
  }
}

bool Set(platform::Registry& registry, const char16_t* name, const char16_t* value) {
  int32_t root = static_cast<int32_t>(reg::kCurrentUser);
  Text key = u"Software\\Shop", value_name = name, data = value;
  return toolkit::registry::SetRegKeyValue(registry, root, key, value_name, data);
}

bool Delete(platform::Registry& registry, const char16_t* name) {
  int32_t root = static_cast<int32_t>(reg::kCurrentUser);
  Text key = u"Software\\Shop", value_name = name;
  return toolkit::registry::DelRegKeyValue(registry, root, key, value_name);
}

TEST(RegistryMemberFaults, WritersKeepEveryEarlierValueWhole) {
  const struct {
    const char* label;
    bool earlier;         // "Till" holds kEarlier before the call
    bool deletes;         // DelRegKeyValue("Till") instead of SetRegKeyValue("Till", new)
  } rows[] = {
      {"set_a_new_value", false, false},
      {"set_over_an_earlier_value", true, false},
      {"delete_an_earlier_value", true, true},
  };
  for (const Layer layer : {Layer::kServices, Layer::kSystem}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.label) + " / " + NameOf(layer));
      const std::string before = row.earlier ? kEarlier : "(no value)";
      const std::string after = row.deletes ? "(no value)" : kNew;
      const int runs = Sweep(layer, [&](Layer l, int nth, int failure) {
        FaultFixture f(l);
        platform::Registry& real = *f.env.services.registry;
        EXPECT_TRUE(Set(real, u"Other", u"other value"));
        if (row.earlier) {
          EXPECT_TRUE(Set(real, u"Till", u"earlier till"));
        }
        bool answered = false;
        const auto calls = f.Armed(nth, failure, [&] {
          answered = row.deletes ? Delete(*f.services.registry, u"Till")
                                 : Set(*f.services.registry, u"Till", u"new till");
        });
        if (nth == 0) {
          EXPECT_TRUE(answered);
        }
        const std::string now = ReadValue(real, "Till");
        // A deletion the store answers "not there" is taken at its word.
        const bool told_gone = row.deletes && f.fired() && calls[nth - 1] == "DeleteValue" &&
                               failure == reg::kFileNotFound;
        if (answered && !told_gone) {
          EXPECT_EQ(now, after);
        } else {
          EXPECT_TRUE(now == before || now == after) << now;
        }
        EXPECT_EQ(ReadValue(real, "Other"), kOther);
        // The store still takes changes.
        EXPECT_TRUE(row.deletes ? Delete(real, u"Till") : Set(real, u"Till", u"new till"));
        EXPECT_EQ(ReadValue(real, "Till"), after);
        return calls;
      });
      EXPECT_GT(runs, 0);
    }
  }
}

}  // namespace
}  // namespace kavrolin::testing
