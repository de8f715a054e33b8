#include "platform/common/registry_transfer.h"

#include <string>

#include "base/ansi.h"

namespace kavrolin::platform {

using rules::RegText;
using rules::RegTextKey;
using rules::RegTextValue;

namespace {

int32_t ExportOpened(Registry& registry, RegHandle handle, RegHandle root, const Text& path,
                     RegText& out) {
  RegTextKey key;
  key.root = root;
  key.path = path;
  std::string name, data;
  uint32_t type = 0;
  int32_t status = reg::kSuccess;
  for (uint32_t i = 0; (status = registry.EnumValue(handle, i, name, type, data)) == reg::kSuccess;
       ++i) {
    RegTextValue value;
    value.name = FromAnsi(name);
    value.type = type;
    value.data = data;
    key.values.push_back(std::move(value));
  }
  if (status != reg::kNoMoreItems) return status;
  out.keys.push_back(std::move(key));
  for (uint32_t i = 0; (status = registry.EnumKey(handle, i, name)) == reg::kSuccess; ++i) {
    RegHandle child = 0;
    if (const int32_t s = registry.OpenKey(handle, name, reg::kKeyRead, child);
        s != reg::kSuccess) {
      return s;
    }
    const RegKey owned(registry, child);
    const Text child_path = path.empty() ? FromAnsi(name) : path + u"\\" + FromAnsi(name);
    if (const int32_t s = ExportOpened(registry, child, root, child_path, out);
        s != reg::kSuccess) {
      return s;
    }
  }
  return status == reg::kNoMoreItems ? reg::kSuccess : status;
}

}  // namespace

int32_t ExportKey(Registry& registry, RegHandle root, TextView path, RegText& out) {
  RegHandle handle = 0;
  if (const int32_t s = registry.OpenKey(root, ToAnsi(path), reg::kKeyRead, handle);
      s != reg::kSuccess) {
    return s;
  }
  const RegKey owned(registry, handle);
  // The path as the caller wrote it, one trailing "\" aside.
  Text written(path);
  if (!written.empty() && written.back() == u'\\') written.pop_back();
  return ExportOpened(registry, handle, root, written, out);
}

int32_t ExportAll(Registry& registry, RegText& out) {
  for (RegHandle root = reg::kClassesRoot; root <= reg::kDynData; ++root) {
    std::string name, data;
    uint32_t type = 0;
    const int32_t keys = registry.EnumKey(root, 0, name);
    const int32_t values = registry.EnumValue(root, 0, name, type, data);
    if (keys == reg::kNoMoreItems && values == reg::kNoMoreItems) continue;
    if (const int32_t s = ExportKey(registry, root, u"", out); s != reg::kSuccess) return s;
  }
  return reg::kSuccess;
}

int32_t ImportRegText(Registry& registry, const RegText& text, size_t& failed_line) {
  for (const RegTextKey& key : text.keys) {
    failed_line = key.line;
    const std::string path = ToAnsi(key.path);
    if (key.remove) {
      const int32_t s = registry.DeleteTree(key.root, path);
      if (s != reg::kSuccess && s != reg::kFileNotFound) return s;
      continue;
    }
    RegHandle handle = 0;
    if (const int32_t s = registry.CreateKey(key.root, path, reg::kKeyAllAccess, handle);
        s != reg::kSuccess) {
      return s;
    }
    const RegKey owned(registry, handle);
    for (const RegTextValue& value : key.values) {
      failed_line = value.line;
      const std::string name = ToAnsi(value.name);
      if (value.remove) {
        const int32_t s = registry.DeleteValue(handle, name);
        if (s != reg::kSuccess && s != reg::kFileNotFound) return s;
      } else if (const int32_t s = registry.SetValue(handle, name, value.type, value.data);
                 s != reg::kSuccess) {
        return s;
      }
    }
  }
  failed_line = 0;
  return reg::kSuccess;
}

}  // namespace kavrolin::platform
