// FileKill: deletes one file, or every file a pattern matches, optionally
// clearing the protective attributes first.
#pragma once

#include "base/text.h"
#include "platform/file_system.h"

namespace kavrolin::toolkit::path {

// sFilename without "*" and "$": with bDeleteReadOnly, its attributes are set
// to normal (read-only, hidden, system, archive cleared); then it is deleted.
// "?" is no wildcard on this route: a name holding it names no file.
//
// sFilename with "*" or "$": a directory search with the normal search
// attributes (files, read-only ones included; no hidden, system or folder
// entries; see FileSystem::FindFiles) lists the matching names, and each
// (ParsePath(sFilename) followed by the name) is handled as above. The search
// also takes "/" as a separator; a "/" after ParsePath's folder makes the
// folder end there, so names are paired with the folder they were found in.
// A name with "$" but no wildcard matches only itself. Hidden and system
// files are not found and so stay. A pattern longer than 32,767 units has no
// folder (ParsePath fails): nothing is searched or deleted.
//
// Guarded, step by step: a step that fails is skipped and the rest still
// run. True when no step failed (a pattern matching nothing included); false
// otherwise: a missing file on the direct route, a read-only file without
// bDeleteReadOnly, a file that cannot be deleted, a search that cannot be
// made (missing drive, wildcards in the folder part).
bool FileKill(platform::FileSystem& files, TextView sFilename, bool bDeleteReadOnly);

}  // namespace kavrolin::toolkit::path
