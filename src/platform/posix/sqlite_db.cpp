#include "platform/posix/sqlite_db.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>
#include <utility>

#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {
namespace {

[[noreturn]] void Throw(sqlite3* db, int code) {
  const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  throw SqliteError(code, message != nullptr ? message : "");
}

void Check(sqlite3* db, int code) {
  if (code != SQLITE_OK) Throw(db, db != nullptr ? sqlite3_extended_errcode(db) : code);
}

}  // namespace

SqliteError::SqliteError(int code, std::string message)
    : code_(code), message_(std::move(message)) {}

SqliteDb::SqliteDb(sqlite3* db) : db_(db), kept_(std::make_unique<Statements>()) {}

SqliteDb::~SqliteDb() { Close(); }

SqliteDb::SqliteDb(SqliteDb&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), kept_(std::move(other.kept_)) {}

SqliteDb& SqliteDb::operator=(SqliteDb&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
    kept_ = std::move(other.kept_);
  }
  return *this;
}

void SqliteDb::Close() {
  kept_.reset();
  // close_v2: statements still alive (there are none by construction) would
  // keep the connection rather than make this fail.
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

KeptStatement SqliteDb::Kept(std::string_view sql) {
  const auto found = kept_->find(sql);
  if (found != kept_->end()) return KeptStatement(*found->second);
  auto statement = std::make_unique<SqliteStatement>(*this, sql);
  SqliteStatement& kept = *statement;
  kept_->emplace(std::string(sql), std::move(statement));
  return KeptStatement(kept);
}

SqliteDb SqliteDb::Open(const std::string& path, int busy_timeout_ms) {
  sqlite3* raw = nullptr;
  // READWRITE without CREATE opens a write-protected file for reading only.
  const int code =
      sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  SqliteDb db(raw);  // owns the handle even when the open failed
  if (code != SQLITE_OK) {
    const int extended = raw != nullptr ? sqlite3_extended_errcode(raw) : code;
    throw SqliteError(extended, sqlite3_errstr(extended));
  }
  sqlite3_extended_result_codes(raw, 1);
  Check(raw, sqlite3_busy_timeout(raw, busy_timeout_ms));
  return db;
}

SqliteDb SqliteDb::OpenPrivate(const std::string& path, int busy_timeout_ms) {
  {
    // fchmod: the umask may have taken the owner's write bit.
    const UniqueFd fd = OpenFd(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd.valid()) ::fchmod(fd.get(), 0600);
  }
  return Open(path, busy_timeout_ms);
}

bool SqliteDb::read_only() const { return sqlite3_db_readonly(db_, "main") == 1; }

void SqliteDb::PersistWal() {
  int persist = 1;
  Check(db_, sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist));
}

void SqliteDb::SkipCheckpointOnClose() {
  Check(db_, sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr));
}

void SqliteDb::Exec(const char* sql) {
  char* message = nullptr;
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (code != SQLITE_OK) {
    std::string text = message != nullptr ? message : sqlite3_errstr(code);
    sqlite3_free(message);
    throw SqliteError(sqlite3_extended_errcode(db_), std::move(text));
  }
}

int64_t SqliteDb::changes() const { return sqlite3_changes64(db_); }

int64_t SqliteDb::last_insert_rowid() const { return sqlite3_last_insert_rowid(db_); }

SqliteStatement::SqliteStatement(SqliteDb& db, std::string_view sql) : db_(db.get()) {
  Check(db_, sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr));
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
  Check(db_, sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

SqliteStatement& SqliteStatement::BindText(int index, std::string_view text) {
  Check(db_,
        sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob rather than NULL for empty data: the column is NOT NULL.
  Check(db_, bytes.empty()
                 ? sqlite3_bind_zeroblob(stmt_, index, 0)
                 : sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
  return *this;
}

bool SqliteStatement::Step() {
  const int code = sqlite3_step(stmt_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  Throw(db_, sqlite3_extended_errcode(db_));
}

void SqliteStatement::Run() {
  while (Step()) {
  }
}

void SqliteStatement::Reset() {
  // The code sqlite3_reset answers is the last step's, reported there already.
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

KeptStatement::~KeptStatement() { statement_->Reset(); }

int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return text != nullptr ? std::string(text, sqlite3_column_bytes(stmt_, column)) : std::string();
}

std::string SqliteStatement::Blob(int column) const { return std::string(BlobView(column)); }

std::string_view SqliteStatement::BlobView(int column) const {
  const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
  return bytes != nullptr ? std::string_view(bytes, sqlite3_column_bytes(stmt_, column))
                          : std::string_view();
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db, bool write) : db_(db) {
  db_.Kept(write ? "BEGIN IMMEDIATE" : "BEGIN")->Run();
}

SqliteTransaction::~SqliteTransaction() {
  if (!open_) return;
  // A failed rollback leaves SQLite to roll back on the next BEGIN or close;
  // nothing here can do better, and a destructor must not throw.
  sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
  db_.Kept("COMMIT")->Run();
  open_ = false;
}

SqliteDb SqliteDb::SetUpWhileBusy(const std::function<SqliteDb()>& set_up) {
  for (int attempt = 0;; ++attempt) {
    try {
      return set_up();
    } catch (const SqliteError& e) {
      if ((e.code() & 0xFF) != SQLITE_BUSY || attempt >= 500) throw;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
}

}  // namespace kavrolin::platform::posix
