// The profile (INI file) functions, with the observable behaviour of the
// platform's GetPrivateProfileStringA, WritePrivateProfileStringA and
// WritePrivateProfileSectionA. Names, values and entry lists are bytes in the
// ANSI code page; the file is a Windows-form path (a bare name lies in the
// Windows folder). A null pointer is the platform's "no section / no key /
// no value / no entry list".
//
// Never throws: the readers answer the default or an empty list, the writers
// answer false, as the platform functions do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/text.h"

namespace kavrolin::platform {

class Profile {
 public:
  virtual ~Profile() = default;

  // section and key: the key's value, cut to size - 1 bytes, then a zero;
  //   the default when the file, section or key is missing. Returns the
  //   bytes copied without the zero.
  // section, no key: the section's key names; no section: the section names;
  //   each name followed by a zero, then one more zero. A list that does not
  //   fit ends with its last name cut short and two zeros, and returns
  //   size - 2. Returns the bytes copied without the final zero.
  virtual uint32_t GetString(const char* section, const char* key, const char* default_value,
                             char* buffer, uint32_t size, TextView file) = 0;

  // key and value: sets key=value, adding the entry, the section and the file
  // as needed. No value: deletes the entry. No key: deletes the section with
  // its entries. True on success.
  virtual bool WriteString(const char* section, const char* key, const char* value,
                           TextView file) = 0;

  // entries: a list of "key=value" strings, each ending in a zero, the list
  // ending in one more zero; replaces the section's entries (an empty list
  // leaves the header alone). No entries: deletes the section. True on
  // success.
  virtual bool WriteSection(const char* section, const char* entries, TextView file) = 0;

  // Reads the whole file under the writers' lock and, when `edit` answers new
  // bytes, replaces the file with them the way the writers do. False when the
  // file is missing (it is not made) or empty, when `edit` answers nothing,
  // or when the file cannot be written; true when the file holds what `edit`
  // answered.
  using RewriteEdit = std::function<std::optional<std::string>(const std::string& bytes)>;
  virtual bool Rewrite(TextView file, const RewriteEdit& edit) = 0;
};

}  // namespace kavrolin::platform
