// The floor of the SQLite-backed services, for their anchors: one connection
// kept open in WAL mode, statements prepared once, each statement its own
// transaction, nothing else. A failing SQLite call stops the benchmark with
// SQLite's message.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace kavrolin::bench {

class BareSqlite {
 public:
  BareSqlite(benchmark::State& state, const std::string& path, const char* schema) : state_(state) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) Fail();
    Exec("PRAGMA journal_mode=WAL;");
    Exec(schema);
  }
  ~BareSqlite() {
    for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
  }
  BareSqlite(const BareSqlite&) = delete;
  BareSqlite& operator=(const BareSqlite&) = delete;

  // False (and the benchmark stopped) once any call failed.
  bool ok() const { return ok_; }

  void Exec(const char* sql) {
    if (ok_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
  }

  // A statement owned by this connection, finalised with it.
  sqlite3_stmt* Prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (ok_ && sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) Fail();
    if (statement != nullptr) statements_.push_back(statement);
    return statement;
  }

  // Binds the texts to ?1, ?2, ..., steps the statement once and resets it;
  // answers whether it gave a row.
  bool Run(sqlite3_stmt* statement, std::initializer_list<std::string_view> texts) {
    if (!ok_) return false;
    int index = 1;
    for (std::string_view text : texts) {
      sqlite3_bind_text(statement, index++, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT);
    }
    const int step = sqlite3_step(statement);
    if (step != SQLITE_ROW && step != SQLITE_DONE) Fail();
    sqlite3_reset(statement);
    return step == SQLITE_ROW;
  }

 private:
  void Fail() {
    if (ok_) state_.SkipWithError(db_ != nullptr ? sqlite3_errmsg(db_) : "sqlite3_open failed");
    ok_ = false;
  }

  benchmark::State& state_;
  sqlite3* db_ = nullptr;
  std::vector<sqlite3_stmt*> statements_;
  bool ok_ = true;
};

}  // namespace kavrolin::bench
