#include "platform/posix/registry.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ansi.h"
#include "base/upper_case.h"
#include "platform/posix/registry_folds.h"
#include "platform/posix/unique_fd.h"
#include "rules/registry_path.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr int kBusyTimeoutMs = 30000;
// Rows 1 to 7 are the roots, in the order of their handle values.
constexpr int64_t kRootRows = 7;

constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericExecute = 0x20000000;
constexpr uint32_t kGenericAll = 0x10000000;
// Rights that change the store; a store the process may only read grants none.
constexpr uint32_t kChangingRights = reg::kSetValue | reg::kCreateSubKey | reg::kCreateLink |
                                     reg::kDelete | reg::kWriteDac | reg::kWriteOwner;

// Key ids are never reused (AUTOINCREMENT), so a handle whose key was deleted
// can never reach a key made later in its place.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER NOT NULL,
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  UNIQUE(parent, fold));
CREATE TABLE IF NOT EXISTS vals(
  key INTEGER NOT NULL,
  name TEXT NOT NULL,
  fold TEXT NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE(key, fold));
INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
  (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
  (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
  (4, 0, 'HKEY_USERS', 'HKEY_USERS'),
  (5, 0, 'HKEY_PERFORMANCE_DATA', 'HKEY_PERFORMANCE_DATA'),
  (6, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG'),
  (7, 0, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA');
)sql";

// The one translation from SQLite's result codes to the registry's status.
int32_t StatusOf(int code) {
  switch (code) {
    case SQLITE_IOERR_READ:
    case SQLITE_IOERR_SHORT_READ: return reg::kCantRead;
    default: break;
  }
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return reg::kBusy;
    case SQLITE_NOMEM:
    case SQLITE_TOOBIG: return reg::kNotEnoughMemory;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH: return reg::kAccessDenied;
    case SQLITE_FULL:
    case SQLITE_IOERR: return reg::kCantWrite;
    case SQLITE_CANTOPEN: return reg::kCantRead;
    default: return reg::kBadDb;  // not a database, damaged, a schema not ours
  }
}

// The generic rights stand for the key rights they imply.
uint32_t MapGeneric(uint32_t access) {
  uint32_t rights = access & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll);
  if (access & (kGenericRead | kGenericExecute)) rights |= reg::kKeyRead;
  if (access & kGenericWrite) rights |= reg::kKeyWrite;
  if (access & kGenericAll) rights |= reg::kKeyAllAccess;
  return rights;
}

// The rights a handle gets; nullopt when the store cannot grant them.
std::optional<uint32_t> Grant(uint32_t access, bool read_only) {
  uint32_t rights = MapGeneric(access);
  if (rights & reg::kMaximumAllowed) {
    rights = (rights & ~reg::kMaximumAllowed) | (read_only ? reg::kKeyRead : reg::kKeyAllAccess);
  }
  if (read_only && (rights & kChangingRights)) return std::nullopt;
  return rights;
}

// The platform reads names as C strings.
std::string_view UpToZero(std::string_view bytes) {
  const size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

StoredName NameOf(TextView text) { return {ToUtf8(text), ToUtf8(FoldName(text))}; }

// The names of a key path, by the platform's rule. The path is decoded
// before it is split: a double-byte character's second byte may be the byte
// of "\".
int32_t SplitPath(std::string_view path, std::vector<StoredName>& names) {
  std::vector<Text> parts;
  const int32_t status = rules::SplitKeyPath(FromAnsi(UpToZero(path)), parts);
  if (status != reg::kSuccess) return status;
  for (const Text& part : parts) names.push_back(NameOf(part));
  return reg::kSuccess;
}

int32_t ValueName(std::string_view bytes, StoredName& name) {
  const Text text = FromAnsi(UpToZero(bytes));
  if (text.size() > rules::kMaxValueNameLength) return reg::kInvalidParameter;
  name = NameOf(text);
  return reg::kSuccess;
}

// A stored name in the ANSI code page, as the caller reads names.
std::string AnsiName(const std::string& utf8) { return ToAnsi(FromUtf8(utf8)); }

// The row of `name` below `parent`; 0 when there is none.
int64_t FindChild(SqliteDb& db, int64_t parent, const StoredName& name) {
  const KeptStatement find = db.Kept("SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
  find->Bind(1, parent).BindText(2, name.fold);
  return find->Step() ? find->Int(0) : 0;
}

// Paths up to this many levels are followed by one statement: a statement
// step costs far more than the index look-up each level adds to it.
constexpr size_t kJoinedLevels = 8;

// The statement that follows `levels` names down from key ?1 and reads the
// value whose fold is ?2 there: one row of the last level's id (NULL when a
// level is missing) and the value's rowid, type and data (NULL when it is
// missing, or ?2 is unbound); no row when key ?1 is gone. The names' folds
// are ?3 onwards.
const std::string& JoinedWalkSql(size_t levels) {
  static const std::array<std::string, kJoinedLevels + 1> sql = [] {
    std::array<std::string, kJoinedLevels + 1> all;
    for (size_t n = 0; n <= kJoinedLevels; ++n) {
      std::string from = " FROM keys k0";
      for (size_t level = 1; level <= n; ++level) {
        const std::string k = "k" + std::to_string(level);
        from += " LEFT JOIN keys " + k + " ON " + k + ".parent = k" + std::to_string(level - 1) +
                ".id AND " + k + ".fold = ?" + std::to_string(level + 2);
      }
      const std::string last = "k" + std::to_string(n);
      all[n] = "SELECT " + last + ".id, v.rowid, v.type, v.data" + from +
               " LEFT JOIN vals v ON v.key = " + last + ".id AND v.fold = ?2 WHERE k0.id = ?1";
    }
    return all;
  }();
  return sql[levels];
}

// Binds the joined walk of `names` from `id`; `value` is the fold of the
// value to read, or null for none.
void BindJoinedWalk(const KeptStatement& walk, int64_t id, const std::vector<StoredName>& names,
                    const std::string* value) {
  walk->Bind(1, id);
  if (value != nullptr) walk->BindText(2, *value);
  for (size_t level = 0; level < names.size(); ++level) {
    walk->BindText(static_cast<int>(level + 3), names[level].fold);
  }
}

// Follows `names` down from `id`; false when a level is missing.
bool Walk(SqliteDb& db, const std::vector<StoredName>& names, int64_t& id) {
  if (names.size() > 1 && names.size() <= kJoinedLevels) {
    const KeptStatement walk = db.Kept(JoinedWalkSql(names.size()));
    BindJoinedWalk(walk, id, names, nullptr);
    if (!walk->Step() || walk->IsNull(0)) return false;
    id = walk->Int(0);
    return true;
  }
  for (const StoredName& name : names) {
    id = FindChild(db, id, name);
    if (id == 0) return false;
  }
  return true;
}

// What a read of a value answers before it looks for the value: data without
// a size, then a handle without the right to query, then the value name's
// own status.
int32_t ReadRefusal(uint32_t rights, const uint8_t* data, const uint32_t* size, int32_t named) {
  if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
  if ((rights & reg::kQueryValue) != reg::kQueryValue) return reg::kAccessDenied;
  return named;
}

// A value read into the caller's buffer, as the platform answers: the size
// alone when there is no buffer, kMoreData with the size needed when the
// buffer is too small.
int32_t CopyValue(int64_t stored_type, std::string_view bytes, uint32_t* type, uint8_t* data,
                  uint32_t* size) {
  if (type != nullptr) *type = static_cast<uint32_t>(stored_type);
  if (size == nullptr) return reg::kSuccess;
  const uint32_t available = *size;
  *size = static_cast<uint32_t>(bytes.size());
  if (data == nullptr) return reg::kSuccess;
  if (bytes.size() > available) return reg::kMoreData;
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  return reg::kSuccess;
}

}  // namespace

PosixRegistry::PosixRegistry(std::shared_ptr<const Prefix> prefix) : prefix_(std::move(prefix)) {}

PosixRegistry::~PosixRegistry() = default;

fs::path PosixRegistry::file() const { return prefix_->root() / "registry.db"; }

SqliteDb& PosixRegistry::Connection() {
  if (db_) return db_;
  prefix_->EnsureLayout();
  db_ = SqliteDb::SetUpWhileBusy([this] {
    SqliteDb db = SqliteDb::OpenPrivate(file().string(), kBusyTimeoutMs);
    if (!db.read_only()) {
      // Full syncs: a call that answered success survives a power cut too.
      db.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
      // A process that may not write beside the database can read a WAL
      // database only when the WAL and shared-memory files are there already.
      db.PersistWal();
      SqliteTransaction schema(db, true);
      db.Exec(kSchema);
      BringFoldsUpToDate(db);
      schema.Commit();
    }
    return db;
  });
  return db_;
}

template <typename Body>
int32_t PosixRegistry::Run(Mode mode, Body&& body) {
  try {
    SqliteDb& db = Connection();
    if (mode == Mode::kOneStatement) return body(db);
    SqliteTransaction transaction(db, mode == Mode::kWrite && !db.read_only());
    const int32_t status = body(db);
    if (status == reg::kSuccess) transaction.Commit();
    return status;
  } catch (const SqliteError& e) {
    return StatusOf(e.code());
  } catch (const std::bad_alloc&) {
    return reg::kNotEnoughMemory;
  }
}

int32_t PosixRegistry::HandleOf(RegHandle key, uint32_t needed, Opened& out) {
  if (reg::IsRoot(key)) {
    out.id = static_cast<int64_t>(key - reg::kClassesRoot) + 1;
    out.rights = db_.read_only() ? reg::kKeyRead : reg::kKeyAllAccess;
  } else {
    const auto it = handles_.find(key);
    if (it == handles_.end()) return reg::kInvalidHandle;
    out = it->second;
  }
  if ((out.rights & needed) != needed) return reg::kAccessDenied;
  return reg::kSuccess;
}

int32_t PosixRegistry::Resolve(RegHandle key, uint32_t needed, Opened& out) {
  if (const int32_t s = HandleOf(key, needed, out); s != reg::kSuccess) return s;
  // The roots are never deleted.
  if (reg::IsRoot(key)) return reg::kSuccess;
  const KeptStatement exists = db_.Kept("SELECT 1 FROM keys WHERE id = ?1");
  if (!exists->Bind(1, out.id).Step()) return reg::kKeyDeleted;
  return reg::kSuccess;
}

int32_t PosixRegistry::ResolveValue(RegHandle key, uint32_t needed, std::string_view name,
                                    Opened& opened, StoredName& value) {
  if (const int32_t s = Resolve(key, needed, opened); s != reg::kSuccess) return s;
  return ValueName(name, value);
}

int32_t PosixRegistry::FindKey(SqliteDb& db, RegHandle key, std::string_view sub_key, int64_t& id,
                               bool& itself) {
  Opened opened;
  if (const int32_t s = Resolve(key, 0, opened); s != reg::kSuccess) return s;
  std::vector<StoredName> names;
  if (const int32_t s = SplitPath(sub_key, names); s != reg::kSuccess) return s;
  itself = names.empty();
  id = opened.id;
  return Walk(db, names, id) ? reg::kSuccess : reg::kFileNotFound;
}

RegHandle PosixRegistry::NewHandle(Opened opened) {
  // Multiples of four, as the platform's handles are; never 0 nor a root.
  while (next_handle_ == 0 || reg::IsRoot(next_handle_) || handles_.count(next_handle_) != 0) {
    next_handle_ += 4;
  }
  const RegHandle handle = next_handle_;
  next_handle_ += 4;
  handles_.emplace(handle, opened);
  return handle;
}

int32_t PosixRegistry::MakeKey(SqliteDb& db, RegHandle key, std::string_view sub_key,
                               uint32_t access, Opened& opened, bool& made) {
  if (const int32_t s = Resolve(key, 0, opened); s != reg::kSuccess) return s;
  std::vector<StoredName> names;
  if (const int32_t s = SplitPath(sub_key, names); s != reg::kSuccess) return s;
  const std::optional<uint32_t> rights = Grant(access, db.read_only());
  if (!rights) return reg::kAccessDenied;
  int64_t id = opened.id;
  for (const StoredName& name : names) {
    int64_t child = FindChild(db, id, name);
    if (child == 0) {
      if (db.read_only()) return reg::kAccessDenied;
      const KeptStatement insert =
          db.Kept("INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)");
      insert->Bind(1, id).BindText(2, name.text).BindText(3, name.fold).Run();
      child = db.last_insert_rowid();
      made = true;
    }
    id = child;
  }
  opened = {id, *rights};
  return reg::kSuccess;
}

int32_t PosixRegistry::OpenExisting(SqliteDb& db, RegHandle key, std::string_view sub_key,
                                    uint32_t access, Opened& opened) {
  bool itself = false;
  if (const int32_t s = FindKey(db, key, sub_key, opened.id, itself); s != reg::kSuccess) return s;
  const std::optional<uint32_t> rights = Grant(access, db.read_only());
  if (!rights) return reg::kAccessDenied;
  opened.rights = *rights;
  return reg::kSuccess;
}

int32_t PosixRegistry::StoreValue(SqliteDb& db, const Opened& opened, std::string_view name,
                                  uint32_t type, std::string_view data) {
  if ((opened.rights & reg::kSetValue) != reg::kSetValue) return reg::kAccessDenied;
  StoredName value;
  if (const int32_t s = ValueName(name, value); s != reg::kSuccess) return s;
  // A value written again keeps the name it was first written with and its
  // place in the order of values.
  const KeptStatement upsert = db.Kept(
      "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
      "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, "
      "data = excluded.data");
  upsert->Bind(1, opened.id)
      .BindText(2, value.text)
      .BindText(3, value.fold)
      .Bind(4, type)
      .BindBlob(5, data)
      .Run();
  return reg::kSuccess;
}

int32_t PosixRegistry::ReadValue(SqliteDb& db, const Opened& opened, std::string_view name,
                                 uint32_t* type, uint8_t* data, uint32_t* size) {
  StoredName value;
  if (const int32_t s = ReadRefusal(opened.rights, data, size, ValueName(name, value));
      s != reg::kSuccess) {
    return s;
  }
  const KeptStatement find = db.Kept("SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2");
  find->Bind(1, opened.id).BindText(2, value.fold);
  if (!find->Step()) return reg::kFileNotFound;
  return CopyValue(find->Int(0), find->BlobView(1), type, data, size);
}

int32_t PosixRegistry::CreateKey(RegHandle key, std::string_view sub_key, uint32_t access,
                                 RegHandle& result, bool* created) {
  result = 0;
  const std::lock_guard lock(mutex_);
  Opened opened;
  bool made = false;
  const int32_t status = Run(Mode::kWrite, [&](SqliteDb& db) {
    return MakeKey(db, key, sub_key, access, opened, made);
  });
  if (status != reg::kSuccess) return status;
  result = NewHandle(opened);
  if (created != nullptr) *created = made;
  return reg::kSuccess;
}

int32_t PosixRegistry::OpenKey(RegHandle key, std::string_view sub_key, uint32_t access,
                               RegHandle& result) {
  result = 0;
  const std::lock_guard lock(mutex_);
  Opened opened;
  const int32_t status = Run(Mode::kRead, [&](SqliteDb& db) {
    return OpenExisting(db, key, sub_key, access, opened);
  });
  if (status != reg::kSuccess) return status;
  result = NewHandle(opened);
  return reg::kSuccess;
}

int32_t PosixRegistry::QueryValue(RegHandle key, std::string_view name, uint32_t* type,
                                  uint8_t* data, uint32_t* size) {
  if (data != nullptr && size == nullptr) return reg::kInvalidParameter;
  const std::lock_guard lock(mutex_);
  return Run(Mode::kRead, [&](SqliteDb& db) {
    Opened opened;
    if (const int32_t s = Resolve(key, reg::kQueryValue, opened); s != reg::kSuccess) return s;
    return ReadValue(db, opened, name, type, data, size);
  });
}

int32_t PosixRegistry::SetValue(RegHandle key, std::string_view name, uint32_t type,
                                std::string_view data) {
  if (data.size() > UINT32_MAX) return reg::kInvalidParameter;
  const std::lock_guard lock(mutex_);
  return Run(Mode::kWrite, [&](SqliteDb& db) {
    Opened opened;
    if (const int32_t s = Resolve(key, reg::kSetValue, opened); s != reg::kSuccess) return s;
    return StoreValue(db, opened, name, type, data);
  });
}

int32_t PosixRegistry::SetKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                                   std::string_view name, uint32_t type, std::string_view data,
                                   bool* opened) {
  if (opened != nullptr) *opened = false;
  if (data.size() > UINT32_MAX) return reg::kInvalidParameter;
  const std::lock_guard lock(mutex_);
  // One transaction, one sync: the key is kept when only the value fails, as
  // a create and a separate set would leave it.
  int32_t stored = reg::kSuccess;
  const int32_t made = Run(Mode::kWrite, [&](SqliteDb& db) {
    Opened at;
    bool created = false;
    if (const int32_t s = MakeKey(db, key, sub_key, access, at, created); s != reg::kSuccess) {
      return s;
    }
    stored = StoreValue(db, at, name, type, data);
    return reg::kSuccess;
  });
  if (made != reg::kSuccess) return made;
  if (opened != nullptr) *opened = true;
  return stored;
}

int32_t PosixRegistry::QueryKeyValue(RegHandle key, std::string_view sub_key, uint32_t access,
                                     std::string_view name, uint32_t* type, uint8_t* data,
                                     uint32_t* size, bool* opened) {
  if (opened != nullptr) *opened = false;
  const std::lock_guard lock(mutex_);
  bool found = false;
  bool step_by_step = false;
  // A valid path of a few levels is one statement, and so one read of one
  // state of the store with no transaction round trip. Its answers come in
  // the order the step by step read gives them, which takes the rest.
  int32_t status = Run(Mode::kOneStatement, [&](SqliteDb& db) {
    Opened at;
    if (const int32_t s = HandleOf(key, 0, at); s != reg::kSuccess) return s;
    std::vector<StoredName> names;
    if (SplitPath(sub_key, names) != reg::kSuccess || names.size() > kJoinedLevels) {
      step_by_step = true;
      return reg::kSuccess;
    }
    StoredName value;
    const int32_t named = ValueName(name, value);
    const KeptStatement read = db.Kept(JoinedWalkSql(names.size()));
    BindJoinedWalk(read, at.id, names, named == reg::kSuccess ? &value.fold : nullptr);
    if (!read->Step()) return reg::IsRoot(key) ? reg::kFileNotFound : reg::kKeyDeleted;
    if (read->IsNull(0)) return reg::kFileNotFound;
    const std::optional<uint32_t> rights = Grant(access, db.read_only());
    if (!rights) return reg::kAccessDenied;
    found = true;
    if (const int32_t s = ReadRefusal(*rights, data, size, named); s != reg::kSuccess) return s;
    if (read->IsNull(1)) return reg::kFileNotFound;
    return CopyValue(read->Int(2), read->BlobView(3), type, data, size);
  });
  if (step_by_step) {
    status = Run(Mode::kRead, [&](SqliteDb& db) {
      Opened at;
      if (const int32_t s = OpenExisting(db, key, sub_key, access, at); s != reg::kSuccess) {
        return s;
      }
      found = true;
      return ReadValue(db, at, name, type, data, size);
    });
  }
  if (opened != nullptr) *opened = found;
  return status;
}

int32_t PosixRegistry::DeleteKey(RegHandle key, std::string_view sub_key) {
  const std::lock_guard lock(mutex_);
  return Run(Mode::kWrite, [&](SqliteDb& db) {
    int64_t id = 0;
    bool itself = false;
    if (const int32_t s = FindKey(db, key, sub_key, id, itself); s != reg::kSuccess) return s;
    if (id <= kRootRows || db.read_only()) return reg::kAccessDenied;
    const KeptStatement child = db.Kept("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    if (child->Bind(1, id).Step()) return reg::kAccessDenied;
    db.Kept("DELETE FROM vals WHERE key = ?1")->Bind(1, id).Run();
    db.Kept("DELETE FROM keys WHERE id = ?1")->Bind(1, id).Run();
    return reg::kSuccess;
  });
}

int32_t PosixRegistry::DeleteValue(RegHandle key, std::string_view name) {
  const std::lock_guard lock(mutex_);
  return Run(Mode::kWrite, [&](SqliteDb& db) {
    Opened opened;
    StoredName value;
    if (const int32_t s = ResolveValue(key, reg::kSetValue, name, opened, value);
        s != reg::kSuccess) {
      return s;
    }
    const KeptStatement erase = db.Kept("DELETE FROM vals WHERE key = ?1 AND fold = ?2");
    erase->Bind(1, opened.id).BindText(2, value.fold).Run();
    return db.changes() == 0 ? reg::kFileNotFound : reg::kSuccess;
  });
}

int32_t PosixRegistry::DeleteTree(RegHandle key, std::string_view sub_key) {
  const std::lock_guard lock(mutex_);
  return Run(Mode::kWrite, [&](SqliteDb& db) {
    int64_t id = 0;
    bool itself = false;
    if (const int32_t s = FindKey(db, key, sub_key, id, itself); s != reg::kSuccess) return s;
    if (db.read_only()) return reg::kAccessDenied;
    constexpr std::string_view kTree =
        "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
        "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) ";
    SqliteStatement(db, std::string(kTree) + "DELETE FROM vals WHERE key IN (SELECT id FROM tree)")
        .Bind(1, id)
        .Run();
    // The empty path keeps the key itself; a root is always kept.
    SqliteStatement(db, std::string(kTree) +
                            "DELETE FROM keys WHERE id IN (SELECT id FROM tree) AND id <> ?2 "
                            "AND parent <> 0")
        .Bind(1, id)
        .Bind(2, itself ? id : 0)
        .Run();
    return reg::kSuccess;
  });
}

int32_t PosixRegistry::EnumKey(RegHandle key, uint32_t index, std::string& name) {
  const std::lock_guard lock(mutex_);
  return Run(Mode::kRead, [&](SqliteDb& db) {
    Opened opened;
    if (const int32_t s = Resolve(key, reg::kEnumerateSubKeys, opened); s != reg::kSuccess) {
      return s;
    }
    const KeptStatement find =
        db.Kept("SELECT name FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2");
    find->Bind(1, opened.id).Bind(2, index);
    if (!find->Step()) return reg::kNoMoreItems;
    name = AnsiName(find->Text(0));
    return reg::kSuccess;
  });
}

int32_t PosixRegistry::EnumValue(RegHandle key, uint32_t index, std::string& name, uint32_t& type,
                                 std::string& data) {
  const std::lock_guard lock(mutex_);
  return Run(Mode::kRead, [&](SqliteDb& db) {
    Opened opened;
    if (const int32_t s = Resolve(key, reg::kQueryValue, opened); s != reg::kSuccess) return s;
    const KeptStatement find = db.Kept(
        "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY rowid LIMIT 1 OFFSET ?2");
    find->Bind(1, opened.id).Bind(2, index);
    if (!find->Step()) return reg::kNoMoreItems;
    name = AnsiName(find->Text(0));
    type = static_cast<uint32_t>(find->Int(1));
    data = find->Blob(2);
    return reg::kSuccess;
  });
}

int32_t PosixRegistry::CloseKey(RegHandle key) {
  if (reg::IsRoot(key)) return reg::kSuccess;
  const std::lock_guard lock(mutex_);
  return handles_.erase(key) != 0 ? reg::kSuccess : reg::kInvalidHandle;
}

}  // namespace kavrolin::platform::posix
