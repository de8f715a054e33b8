#include "toolkit/registry/registry_writing.h"

#include <string>

#include "base/ansi.h"
#include "toolkit/registry/registry_reading.h"

namespace kavrolin::toolkit::registry {

namespace reg = platform::reg;
using platform::RegHandle;

namespace {

// Opens KeyName below KeyRoot as the members name it; an empty RegKey when
// no handle results.
platform::RegKey OpenToChange(platform::Registry& registry, int32_t KeyRoot, Text& KeyName,
                              uint32_t access) {
  RegHandle handle = 0;
  registry.OpenKey(static_cast<RegHandle>(KeyRoot), CrossToAnsi(KeyName), access, handle);
  return handle != 0 ? platform::RegKey(registry, handle) : platform::RegKey();
}

}  // namespace

bool SetRegKeyValue(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName, Text& SubKeyName,
                    Text& SubKeyValue) {
  const std::string key_name = CrossToAnsi(KeyName);
  const std::string name = ToAnsi(SubKeyName);
  // An empty value is stored as one space, and the caller sees the space.
  const std::string text = SubKeyValue.empty() ? std::string(" ") : ToAnsi(SubKeyValue);
  std::string data = text;
  data.push_back('\0');  // the length covers the terminating zero
  bool opened = false;
  const int32_t status = registry.SetKeyValue(static_cast<RegHandle>(KeyRoot), key_name,
                                              kChangeRights, name, reg::kSz, data, &opened);
  // The name and the value crossed to the registry only once the key was open.
  if (opened) {
    SubKeyName = FromAnsi(name);
    SubKeyValue = FromAnsi(text);
  }
  return status == reg::kSuccess;
}

bool DelRegKey(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName) {
  const platform::RegKey key = OpenToChange(registry, KeyRoot, KeyName, kChangeRights);
  if (!key) return false;
  // The empty sub-key path designates the opened key itself.
  return registry.DeleteKey(key.get(), "") == reg::kSuccess;
}

bool DelRegKeyValue(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName, Text& KeyValue) {
  const platform::RegKey key = OpenToChange(registry, KeyRoot, KeyName, reg::kMaximumAllowed);
  if (!key) return false;
  const std::string name = CrossToAnsi(KeyValue);
  const int32_t deleted = registry.DeleteValue(key.get(), name);
  if (deleted == reg::kSuccess || deleted == reg::kFileNotFound) return true;
  // Refused (a store the caller may only read): still true when there was
  // nothing to delete.
  uint32_t size = 0;
  return registry.QueryValue(key.get(), name, nullptr, nullptr, &size) == reg::kFileNotFound;
}

}  // namespace kavrolin::toolkit::registry
