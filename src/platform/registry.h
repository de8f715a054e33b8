// The registry: keys below predefined roots, each key holding sub-keys and
// values with a name, a type and data, with the observable behaviour and the
// status codes of the platform's RegCreateKeyExA, RegOpenKeyExA (RegOpenKeyA
// is OpenKey with kMaximumAllowed), RegQueryValueExA, RegSetValueExA,
// RegDeleteKeyA, RegDeleteValueA and RegCloseKey, plus RegDeleteTreeA,
// RegEnumKeyExA and RegEnumValueA for registration and the registry editor.
//
// Names and string data are bytes in the ANSI code page; a name ends at its
// first zero byte, as the platform reads a C string. A key path is names
// separated by "\"; it may not start with "\" (kBadPathname) nor hold an empty
// name between two of them (kBadPathname); one trailing "\" is allowed. A key
// name holds at most 255 characters and a value name at most 16,383
// (kInvalidParameter beyond). Key and value names match without regard to
// letter case and keep the case they were first written with. The empty
// value name is the key's default value.
//
// Handles: the predefined roots are the handle values 0x80000000 to
// 0x80000006 and are always open; any other value that no open call answered
// is kInvalidHandle. An opened handle carries the rights it was opened with:
// reading values needs kQueryValue, writing and deleting values kSetValue,
// enumerating sub-keys kEnumerateSubKeys (else kAccessDenied); creating,
// deleting and opening sub-keys through a handle is checked against the
// store, not the handle, as on the platform. A handle whose key was deleted
// since answers kKeyDeleted. A store the process may only read grants read
// rights only: opening for more is kAccessDenied, kMaximumAllowed grants
// kKeyRead.
//
// Every operation answers a status code, kSuccess or the platform's error
// number, and never throws. Outputs are left alone on failure unless stated.
// Any thread may call; each call is atomic against every other caller in any
// process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "rules/registry_types.h"

namespace kavrolin::platform {

using rules::RegHandle;
namespace reg = rules::reg;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `sub_key` below `key`, making it and every missing level of its
  // path; an empty path opens `key` itself anew. `result` gets the new handle
  // (0 on failure); `created`, when given, whether the key was made.
  virtual int32_t CreateKey(RegHandle key, std::string_view sub_key, uint32_t access,
                            RegHandle& result, bool* created = nullptr) = 0;

  // Opens an existing key: kFileNotFound when any level is missing. `result`
  // gets the new handle, 0 on failure.
  virtual int32_t OpenKey(RegHandle key, std::string_view sub_key, uint32_t access,
                          RegHandle& result) = 0;

  // Reads a value. `type`, when given, gets its type. `size` is in/out: the
  // caller's buffer size in, the data's size out. No `data`: only the size
  // (and type) are answered. Data larger than the buffer: kMoreData with the
  // size needed in `size` and the buffer untouched. A missing value is
  // kFileNotFound.
  virtual int32_t QueryValue(RegHandle key, std::string_view name, uint32_t* type,
                             uint8_t* data, uint32_t* size) = 0;

  // Stores a value, replacing one of that name; the data is kept byte for
  // byte, whatever the type (a string's terminating zero is the caller's).
  virtual int32_t SetValue(RegHandle key, std::string_view name, uint32_t type,
                           std::string_view data) = 0;

  // Deletes `sub_key` below `key` (the empty path: `key` itself) with its
  // values. A key that has sub-keys, and a root, are kAccessDenied; a missing
  // one kFileNotFound.
  virtual int32_t DeleteKey(RegHandle key, std::string_view sub_key) = 0;

  // Deletes a value; kFileNotFound when there is none of that name.
  virtual int32_t DeleteValue(RegHandle key, std::string_view name) = 0;

  // Deletes `sub_key` below `key` with everything below it; the empty path
  // deletes everything below `key` and its values, keeping the key.
  virtual int32_t DeleteTree(RegHandle key, std::string_view sub_key) = 0;

  // The name of the index-th sub-key, in the order of their names without
  // regard to letter case; kNoMoreItems past the last.
  virtual int32_t EnumKey(RegHandle key, uint32_t index, std::string& name) = 0;

  // The name, type and data of the index-th value, in the order they were
  // first written; kNoMoreItems past the last.
  virtual int32_t EnumValue(RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                            std::string& data) = 0;

  // Closes an opened handle; closing a root succeeds and does nothing.
  virtual int32_t CloseKey(RegHandle key) = 0;

  // CreateKey of `sub_key` below `key` with `access`, SetValue in it, then
  // CloseKey, as one call: the status of the first step that failed, else
  // kSuccess (a failing close counts for nothing). `opened` (may be null)
  // tells whether the key was made or opened, so that a failure came from
  // storing the value; the key stays made then. A realisation that can runs
  // it as one atomic step; this one makes the three calls.
  virtual int32_t SetKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                              std::string_view name, uint32_t type, std::string_view data,
                              bool* opened);

  // OpenKey of `sub_key` below `key` with `access`, QueryValue in it, then
  // CloseKey, as one call, with the answers SetKeyValue gives.
  virtual int32_t QueryKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                                std::string_view name, uint32_t* type, uint8_t* data,
                                uint32_t* size, bool* opened);
};

// Owns one opened key handle and closes it when it goes. Move-only.
class RegKey {
 public:
  RegKey() = default;
  RegKey(Registry& registry, RegHandle handle) : registry_(&registry), handle_(handle) {}
  ~RegKey() { Reset(); }
  RegKey(RegKey&& other) noexcept
      : registry_(std::exchange(other.registry_, nullptr)), handle_(std::exchange(other.handle_, 0)) {}
  RegKey& operator=(RegKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = std::exchange(other.registry_, nullptr);
      handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  RegHandle get() const { return handle_; }
  explicit operator bool() const { return handle_ != 0; }
  void Reset() {
    if (registry_ != nullptr && handle_ != 0) registry_->CloseKey(handle_);
    registry_ = nullptr;
    handle_ = 0;
  }

 private:
  Registry* registry_ = nullptr;
  RegHandle handle_ = 0;
};

inline int32_t Registry::SetKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                                     std::string_view name, uint32_t type, std::string_view data,
                                     bool* opened) {
  if (opened != nullptr) *opened = false;
  RegHandle handle = 0;
  if (const int32_t s = CreateKey(key, sub_key, access, handle); s != reg::kSuccess) return s;
  const RegKey owned(*this, handle);
  if (opened != nullptr) *opened = true;
  return SetValue(handle, name, type, data);
}

inline int32_t Registry::QueryKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                                       std::string_view name, uint32_t* type, uint8_t* data,
                                       uint32_t* size, bool* opened) {
  if (opened != nullptr) *opened = false;
  RegHandle handle = 0;
  if (const int32_t s = OpenKey(key, sub_key, access, handle); s != reg::kSuccess) return s;
  const RegKey owned(*this, handle);
  if (opened != nullptr) *opened = true;
  return QueryValue(handle, name, type, data, size);
}

}  // namespace kavrolin::platform
