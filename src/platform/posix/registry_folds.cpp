#include "platform/posix/registry_folds.h"

#include <sqlite3.h>

#include <string>

#include "base/text.h"
#include "base/upper_case.h"

namespace kavrolin::platform::posix {
namespace {

void FoldOf(sqlite3_context* context, int, sqlite3_value** args) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
  if (text == nullptr) {
    sqlite3_result_null(context);
    return;
  }
  const int size = sqlite3_value_bytes(args[0]);
  const std::string fold = ToUtf8(FoldName(FromUtf8(std::string_view(text, size))));
  sqlite3_result_text(context, fold.data(), static_cast<int>(fold.size()), SQLITE_TRANSIENT);
}

}  // namespace

void BringFoldsUpToDate(SqliteDb& db) {
  {
    SqliteStatement version(db, "PRAGMA user_version");
    if (version.Step() && version.Int(0) >= kCurrentFoldRule) return;
  }
  const int code = sqlite3_create_function(db.get(), "kavrolin_fold", 1,
                                           SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, FoldOf,
                                           nullptr, nullptr);
  if (code != SQLITE_OK) throw SqliteError(code, sqlite3_errmsg(db.get()));
  db.Exec(
      "UPDATE OR IGNORE keys SET fold = kavrolin_fold(name) WHERE fold <> kavrolin_fold(name);"
      "UPDATE OR IGNORE vals SET fold = kavrolin_fold(name) WHERE fold <> kavrolin_fold(name);");
  db.Exec(("PRAGMA user_version = " + std::to_string(kCurrentFoldRule)).c_str());
}

}  // namespace kavrolin::platform::posix
