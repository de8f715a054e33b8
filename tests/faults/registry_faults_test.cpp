// Fault sweep of a registry write: create (open) a key, set a value, close
// the key, through the faulty registry. Whatever call fails, the answer is a
// failure status with the earlier value whole, or success with the new one;
// the key's other values stay as they were, and the next write succeeds.
//
// The toolkit's registry members are not in this tree yet; this sweeps the
// platform path they take (CreateKey, SetValue, CloseKey).
#include <gtest/gtest.h>

#include <string>

#include "faults/fault_sweep.h"

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

}  // namespace
}  // namespace kavrolin::testing
