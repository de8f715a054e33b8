// The registry store keeps each key and value name beside its fold, the form
// look-ups compare (FoldName, base/upper_case.h). Stores written by earlier
// versions hold folds of a wider upper case (the C library's, over all of
// Unicode); their names outside the folded scripts would not be found by the
// current fold. This unit brings a store's folds to the current rule, once.
#pragma once

#include "platform/posix/sqlite_db.h"

namespace kavrolin::platform::posix {

// The store's fold rule, kept in the database's user version.
constexpr int kCurrentFoldRule = 1;

// Inside the caller's write transaction: when the store's folds are of an
// earlier rule, refolds every stored name and records the current rule.
// The current fold maps a unit only where the earlier one mapped it to the
// same capital, so two names that were different keys stay different; a row
// that would still collide keeps its old fold rather than being lost.
// Throws SqliteError.
void BringFoldsUpToDate(SqliteDb& db);

}  // namespace kavrolin::platform::posix
