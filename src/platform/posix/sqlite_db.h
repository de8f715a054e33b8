// Move-only owners of an SQLite connection, a prepared statement and a
// transaction. Every failing SQLite call throws SqliteError with SQLite's
// extended result code; the service that uses SQLite turns that code into its
// own status in one place. A connection is used by one thread at a time.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace kavrolin::platform::posix {

class SqliteStatement;
class KeptStatement;

class SqliteError : public std::exception {
 public:
  SqliteError(int code, std::string message);
  int code() const noexcept { return code_; }  // extended result code
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int code_;
  std::string message_;
};

class SqliteDb {
 public:
  SqliteDb() = default;
  ~SqliteDb();
  SqliteDb(SqliteDb&& other) noexcept;
  SqliteDb& operator=(SqliteDb&& other) noexcept;
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  // Opens an existing database file, for reading and writing when the file
  // allows it, else for reading only; never makes the file (the caller makes
  // it with the permissions it wants). Busy waits up to `busy_timeout_ms`.
  static SqliteDb Open(const std::string& path, int busy_timeout_ms);
  // The same for a database that is its owner's alone: makes the file when
  // missing, readable and writable by its owner only from its first byte
  // (SQLite gives the WAL and shared-memory files the database's own
  // permissions), then opens it.
  static SqliteDb OpenPrivate(const std::string& path, int busy_timeout_ms);

  sqlite3* get() const { return db_; }
  explicit operator bool() const { return db_ != nullptr; }
  bool read_only() const;

  // Keeps the WAL and shared-memory files when the last connection closes.
  void PersistWal();
  // Leaves the WAL as it stands when the connection closes, for the next
  // connection to go on with: closing then costs no checkpoint and no sync,
  // and the next writer no new WAL header. The automatic checkpoint still
  // bounds the WAL's size.
  void SkipCheckpointOnClose();

  // Runs `set_up` (open a store, make its schema) and answers its connection,
  // running it again while it answers busy: processes that set up a new
  // store at once can get "busy" without the busy handler waiting (switching
  // to WAL, upgrading a read to a write). Gives up after about five seconds.
  static SqliteDb SetUpWhileBusy(const std::function<SqliteDb()>& set_up);

  // Runs statements that answer nothing the caller needs.
  void Exec(const char* sql);
  // The statement `sql` (one statement), prepared on first use and kept with
  // the connection: a statement run on every call costs its parse once. It
  // is reset when the answer goes, so no kept statement holds a read open
  // between uses. Use one answer at a time per text.
  KeptStatement Kept(std::string_view sql);
  // Rows changed by the last statement.
  int64_t changes() const;
  // The row the last INSERT made.
  int64_t last_insert_rowid() const;

 private:
  // Found by a string_view without making a string of it.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  using Statements =
      std::unordered_map<std::string, std::unique_ptr<SqliteStatement>, TextHash, std::equal_to<>>;
  explicit SqliteDb(sqlite3* db);
  void Close();
  sqlite3* db_ = nullptr;
  std::unique_ptr<Statements> kept_;  // finalised before the connection closes
};

class SqliteStatement {
 public:
  SqliteStatement(SqliteDb& db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters count from 1. Text and blobs are copied.
  SqliteStatement& Bind(int index, int64_t value);
  SqliteStatement& BindText(int index, std::string_view text);
  SqliteStatement& BindBlob(int index, std::string_view bytes);

  // True when a row is ready, false when the statement is done.
  bool Step();
  // Runs a statement that answers no row.
  void Run();
  // Ready to run again from the start, with no parameters bound; ends the
  // read an unfinished run holds.
  void Reset();

  // Columns count from 0; valid until the next Step.
  int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;
  // The blob in SQLite's own memory: no copy, valid until the next Step.
  std::string_view BlobView(int column) const;
  bool IsNull(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// A kept statement lent to one use; resets it when it goes.
class KeptStatement {
 public:
  explicit KeptStatement(SqliteStatement& statement) : statement_(&statement) {}
  ~KeptStatement();
  KeptStatement(const KeptStatement&) = delete;
  KeptStatement& operator=(const KeptStatement&) = delete;

  SqliteStatement* operator->() const { return statement_; }
  SqliteStatement& operator*() const { return *statement_; }

 private:
  SqliteStatement* statement_;
};

// One transaction: BEGIN IMMEDIATE (a writer: waits for other writers up front
// rather than failing when it first writes) or BEGIN (a reader). Rolled back
// when it goes without Commit.
class SqliteTransaction {
 public:
  SqliteTransaction(SqliteDb& db, bool write);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;

  void Commit();

 private:
  SqliteDb& db_;
  bool open_ = true;
};

}  // namespace kavrolin::platform::posix
