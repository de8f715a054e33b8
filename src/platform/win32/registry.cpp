#include "platform/win32/registry.h"

#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

#include "base/ansi.h"
#include "rules/registry_path.h"

namespace kavrolin::platform::win32 {
namespace {

// The component is a 32-bit DLL, where a key handle is the caller's 32-bit
// value. A 64-bit build (used to check these realisations) keeps only the low
// 32 bits, which are all a handle has, and widens them with their sign, as the
// predefined roots are defined there.
HKEY AsKey(RegHandle key) {
  return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(key)));
}
RegHandle AsHandle(HKEY key) { return static_cast<RegHandle>(reinterpret_cast<uintptr_t>(key)); }

// A name as the platform reads a C string: up to its first zero byte.
std::string CName(std::string_view name) {
  const size_t zero = name.find('\0');
  return std::string(name.substr(0, zero));
}

// The platform's checks of a key path, made before the system sees it: some
// registries (Wine's) take an empty name or an over-long one that Windows
// refuses, and then make keys no enumeration can name.
LONG CheckedPath(const std::string& path) {
  std::vector<Text> names;
  return rules::SplitKeyPath(FromAnsi(path), names);
}

// Buffer sizes: the longest names and the zero.
constexpr DWORD kMaxKeyName = rules::kMaxKeyNameLength + 1;
constexpr DWORD kMaxValueName = rules::kMaxValueNameLength + 1;

}  // namespace

int32_t Win32Registry::CreateKey(RegHandle key, std::string_view sub_key, uint32_t access,
                                 RegHandle& result, bool* created) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  const std::string path = CName(sub_key);
  if (const LONG refused = CheckedPath(path); refused != ERROR_SUCCESS) {
    result = 0;
    return refused;
  }
  const LONG status = ::RegCreateKeyExA(AsKey(key), path.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, access, nullptr, &opened,
                                        &disposition);
  result = status == ERROR_SUCCESS ? AsHandle(opened) : 0;
  if (status == ERROR_SUCCESS && created != nullptr) {
    *created = disposition == REG_CREATED_NEW_KEY;
  }
  return status;
}

int32_t Win32Registry::OpenKey(RegHandle key, std::string_view sub_key, uint32_t access,
                               RegHandle& result) {
  HKEY opened = nullptr;
  const std::string path = CName(sub_key);
  if (const LONG refused = CheckedPath(path); refused != ERROR_SUCCESS) {
    result = 0;
    return refused;
  }
  const LONG status = ::RegOpenKeyExA(AsKey(key), path.c_str(), 0, access, &opened);
  result = status == ERROR_SUCCESS ? AsHandle(opened) : 0;
  return status;
}

int32_t Win32Registry::QueryValue(RegHandle key, std::string_view name, uint32_t* type,
                                  uint8_t* data, uint32_t* size) {
  DWORD value_type = 0;
  DWORD value_size = size != nullptr ? *size : 0;
  const std::string value_name = CName(name);
  if (data != nullptr && size != nullptr) {
    // The platform writes what fits before it answers ERROR_MORE_DATA; the
    // caller's buffer stays untouched on failure, so read into our own first.
    DWORD needed = 0;
    LONG status = ::RegQueryValueExA(AsKey(key), value_name.c_str(), nullptr, &value_type,
                                     nullptr, &needed);
    if (status != ERROR_SUCCESS) return status;
    std::vector<BYTE> buffer(needed + 1);
    DWORD got = needed;
    status = ::RegQueryValueExA(AsKey(key), value_name.c_str(), nullptr, &value_type,
                                buffer.data(), &got);
    if (status != ERROR_SUCCESS) return status;
    if (type != nullptr) *type = value_type;
    if (got > *size) {
      *size = got;
      return ERROR_MORE_DATA;
    }
    std::copy(buffer.begin(), buffer.begin() + got, data);
    *size = got;
    return ERROR_SUCCESS;
  }
  const LONG status = ::RegQueryValueExA(AsKey(key), value_name.c_str(), nullptr, &value_type,
                                         nullptr, size != nullptr ? &value_size : nullptr);
  if (status != ERROR_SUCCESS) return status;
  if (type != nullptr) *type = value_type;
  if (size != nullptr) *size = value_size;
  return status;
}

int32_t Win32Registry::SetValue(RegHandle key, std::string_view name, uint32_t type,
                                std::string_view data) {
  return ::RegSetValueExA(AsKey(key), CName(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

int32_t Win32Registry::DeleteKey(RegHandle key, std::string_view sub_key) {
  return ::RegDeleteKeyA(AsKey(key), CName(sub_key).c_str());
}

int32_t Win32Registry::DeleteValue(RegHandle key, std::string_view name) {
  return ::RegDeleteValueA(AsKey(key), CName(name).c_str());
}

namespace {

// Every value of `key`; apart from the recursion below, so its large name
// buffer is not on every level's frame.
LONG DeleteValuesOf(HKEY key) {
  for (;;) {
    char value[kMaxValueName];
    DWORD size = kMaxValueName;
    LONG status = ::RegEnumValueA(key, 0, value, &size, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) status = ::RegDeleteValueA(key, value);
    if (status != ERROR_SUCCESS) return status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : status;
  }
}

// RegDeleteTreeA's behaviour with the functions Windows XP has: the sub-key
// with everything below it, or, for an empty path, everything below `key`
// and its values (the key itself stays).
LONG DeleteTreeOf(HKEY key, const std::string& path) {
  HKEY opened = key;
  if (!path.empty()) {
    const LONG status = ::RegOpenKeyExA(key, path.c_str(), 0,
                                        DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &opened);
    if (status != ERROR_SUCCESS) return status;
  }
  LONG status = ERROR_SUCCESS;
  // Always index 0: each deletion shifts the rest down.
  for (;;) {
    char child[kMaxKeyName];
    DWORD size = kMaxKeyName;
    status = ::RegEnumKeyExA(opened, 0, child, &size, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    status = DeleteTreeOf(opened, std::string(child, size));
    if (status != ERROR_SUCCESS) break;
  }
  if (status == ERROR_NO_MORE_ITEMS) status = ERROR_SUCCESS;
  if (status == ERROR_SUCCESS && path.empty()) status = DeleteValuesOf(opened);
  if (opened != key) ::RegCloseKey(opened);
  if (status == ERROR_SUCCESS && !path.empty()) status = ::RegDeleteKeyA(key, path.c_str());
  return status;
}

}  // namespace

int32_t Win32Registry::DeleteTree(RegHandle key, std::string_view sub_key) {
  return DeleteTreeOf(AsKey(key), CName(sub_key));
}

int32_t Win32Registry::EnumKey(RegHandle key, uint32_t index, std::string& name) {
  char buffer[kMaxKeyName];
  DWORD size = kMaxKeyName;
  const LONG status =
      ::RegEnumKeyExA(AsKey(key), index, buffer, &size, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) name.assign(buffer, size);
  return status;
}

int32_t Win32Registry::EnumValue(RegHandle key, uint32_t index, std::string& name,
                                 uint32_t& type, std::string& data) {
  std::vector<char> name_buffer(kMaxValueName);
  DWORD data_size = 0;
  DWORD name_size = kMaxValueName;
  DWORD value_type = 0;
  // The data's size first; it may grow between the calls, hence the loop.
  for (int attempt = 0; attempt < 8; ++attempt) {
    name_size = kMaxValueName;
    LONG status = ::RegEnumValueA(AsKey(key), index, name_buffer.data(), &name_size, nullptr,
                                  &value_type, nullptr, &data_size);
    if (status != ERROR_SUCCESS) return status;
    std::string bytes(data_size, '\0');
    name_size = kMaxValueName;
    DWORD got = data_size;
    status = ::RegEnumValueA(AsKey(key), index, name_buffer.data(), &name_size, nullptr,
                             &value_type, reinterpret_cast<BYTE*>(bytes.data()), &got);
    if (status == ERROR_MORE_DATA) {
      data_size = got;
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    bytes.resize(got);
    name.assign(name_buffer.data(), name_size);
    type = value_type;
    data = std::move(bytes);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

int32_t Win32Registry::CloseKey(RegHandle key) {
  if (reg::IsRoot(key)) return ERROR_SUCCESS;
  return ::RegCloseKey(AsKey(key));
}

}  // namespace kavrolin::platform::win32
