// Registry on Windows: the real registry through RegCreateKeyExA,
// RegOpenKeyExA, RegQueryValueExA, RegSetValueExA, RegDeleteKeyA,
// RegDeleteValueA, RegEnumKeyExA, RegEnumValueA and RegCloseKey (trees are
// deleted key by key: RegDeleteTreeA needs Vista). A handle is the 32-bit key handle itself (the predefined roots
// have the same values), so callers' handles and the platform's agree. The
// platform enforces the rules of the interface; names are cut at their first
// zero byte before they reach it.
#pragma once

#include "platform/registry.h"

namespace kavrolin::platform::win32 {

class Win32Registry : public Registry {
 public:
  int32_t CreateKey(RegHandle key, std::string_view sub_key, uint32_t access, RegHandle& result,
                    bool* created = nullptr) override;
  int32_t OpenKey(RegHandle key, std::string_view sub_key, uint32_t access,
                  RegHandle& result) override;
  int32_t QueryValue(RegHandle key, std::string_view name, uint32_t* type, uint8_t* data,
                     uint32_t* size) override;
  int32_t SetValue(RegHandle key, std::string_view name, uint32_t type,
                   std::string_view data) override;
  int32_t DeleteKey(RegHandle key, std::string_view sub_key) override;
  int32_t DeleteValue(RegHandle key, std::string_view name) override;
  int32_t DeleteTree(RegHandle key, std::string_view sub_key) override;
  int32_t EnumKey(RegHandle key, uint32_t index, std::string& name) override;
  int32_t EnumValue(RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                    std::string& data) override;
  int32_t CloseKey(RegHandle key) override;
};

}  // namespace kavrolin::platform::win32
