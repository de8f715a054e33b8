// The registry on POSIX: an SQLite database, registry.db in the prefix's
// folder, made on first use readable and writable by its owner only (the
// WAL and shared-memory files SQLite keeps beside it take the same
// permissions, and stay when the last connection closes, so that a process
// that may only read the database can still read it).
//
// Each call is one transaction, so a process killed at any instant leaves
// every call it made either whole or absent. The database runs in WAL mode
// with full syncs; a writer waits for another process's writer (up to 30
// seconds, then kBusy) instead of failing at once, and readers never wait
// for writers. A database the process may only read is used for reading
// (see platform/registry.h for what that grants); a file that is no
// database answers kBadDb and is never changed.
//
// Names are stored as text (UTF-8, decoded from the ANSI code page) beside
// their upper-case form, which is what names match on: every character is
// upper-cased through the Unicode simple case mapping, as the platform
// compares names. Value data is kept byte for byte. The seven roots are
// independent trees.
//
// Handles are this object's: another PosixRegistry cannot use them. Thread-
// safe: calls on one object run one at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/posix/prefix.h"
#include "platform/posix/sqlite_db.h"
#include "platform/registry.h"

namespace kavrolin::platform::posix {

// A key or value name as stored: as written (UTF-8) and as names match on.
struct StoredName {
  std::string text;
  std::string fold;
};

class PosixRegistry : public Registry {
 public:
  explicit PosixRegistry(std::shared_ptr<const Prefix> prefix);
  ~PosixRegistry() override;

  // The database file: registry.db in the prefix's folder.
  std::filesystem::path file() const;

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
  // Each one transaction: the key's path resolved, made where needed, and the
  // value stored or read, with one sync for a write.
  int32_t SetKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                      std::string_view name, uint32_t type, std::string_view data,
                      bool* opened) override;
  int32_t QueryKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                        std::string_view name, uint32_t* type, uint8_t* data, uint32_t* size,
                        bool* opened) override;

 private:
  struct Opened {
    int64_t id = 0;       // the key's row
    uint32_t rights = 0;  // what the handle may do
  };
  // kOneStatement: a body that reads by one statement needs no transaction.
  enum class Mode { kRead, kWrite, kOneStatement };

  // Runs `body` in one transaction, committed when it answers kSuccess;
  // answers its status, or the status of what SQLite reported.
  template <typename Body>
  int32_t Run(Mode mode, Body&& body);
  SqliteDb& Connection();
  // The row and rights a handle holds, checked for `needed`; Resolve also
  // checks that the key is still there.
  int32_t HandleOf(RegHandle key, uint32_t needed, Opened& out);
  int32_t Resolve(RegHandle key, uint32_t needed, Opened& out);
  // Resolve, then the name of a value of that key.
  int32_t ResolveValue(RegHandle key, uint32_t needed, std::string_view name, Opened& opened,
                       StoredName& value);
  // The row of the existing key `sub_key` below `key`; `itself` tells
  // whether the path was empty (the key the handle holds).
  int32_t FindKey(SqliteDb& db, RegHandle key, std::string_view sub_key, int64_t& id, bool& itself);
  RegHandle NewHandle(Opened opened);
  // The bodies of the calls, inside the caller's transaction. MakeKey: the
  // key `sub_key` below `key`, made with every missing level; OpenExisting:
  // the existing one; both with the rights `access` grants. StoreValue and
  // ReadValue: a value of a key just resolved, checked against its rights.
  int32_t MakeKey(SqliteDb& db, RegHandle key, std::string_view sub_key, uint32_t access,
                  Opened& opened, bool& made);
  int32_t OpenExisting(SqliteDb& db, RegHandle key, std::string_view sub_key, uint32_t access,
                       Opened& opened);
  int32_t StoreValue(SqliteDb& db, const Opened& opened, std::string_view name, uint32_t type,
                     std::string_view data);
  int32_t ReadValue(SqliteDb& db, const Opened& opened, std::string_view name, uint32_t* type,
                    uint8_t* data, uint32_t* size);

  std::shared_ptr<const Prefix> prefix_;
  std::mutex mutex_;
  SqliteDb db_;
  std::map<RegHandle, Opened> handles_;
  RegHandle next_handle_ = 0x100;
};

}  // namespace kavrolin::platform::posix
