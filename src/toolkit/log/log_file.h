// The toolkit's log: one line per call, appended to a file resolved from the
// object's LOGFile text.
//
// Line: "[" code "] [" YYYY-MM-DD HH:MM:SS "] " '"' description '"' CR LF, in
// the ANSI code page (characters it cannot hold become "?"). The code is
// strCode cut to 4 characters or padded with blanks to 4; the description is
// written unchanged, quotes and line breaks included.
//
// Resolution of LOGFile:
//  - A folder (text ending in "\"): the line goes to the day's file
//    YYYY-MM-DD.LOG in that folder. LOGFile then holds that file's path, and
//    while it still does, later calls keep writing to the current day's file
//    in the same folder (a new one after midnight); setting LOGFile to any
//    other text ends this.
//  - Empty: as the component folder followed by "\".
//  - Anything else names a file: the line goes to the file of the same base
//    name without its extension, in the same folder ("D:\logs\app.txt" writes
//    "D:\logs\app"); a name without a folder lies in the component folder.
//    LOGFile then holds that path, so later calls keep using it.
// Every "\\" of the resolved path (non-overlapping, left to right) becomes
// "\", so a drive root gives "C:\name" and a network path loses one of its
// two leading backslashes. The resolved path stays in LOGFile even when the
// line cannot be written. A missing folder is not created.
#pragma once

#include "base/text.h"
#include "platform/services.h"

namespace kavrolin::toolkit::log {

// What the object remembers besides LOGFile so that a folder keeps its
// meaning after the first line: the folder text the host set, and the file
// the last line went to. Empty on a new object.
struct LogFolder {
  Text folder;     // LOGFile as set, ending in "\"; empty when not a folder
  Text last_file;  // the path LOGFile was resolved to
};

// Guarded: true when the whole line was written; false on any failure (the
// file-system object cannot be made, the folder is missing, the path names a
// folder or a read-only file, the write fails), which never reaches the
// caller. Uses services.files, clock and module.
bool WriteLog(platform::Services& services, Text& m_strLogFile, LogFolder& m_logFolder,
              const Text& strCode, const Text& strDesc);

// The path a line goes to for `log_file` at `now` (the resolution above,
// without LogFolder): exposed for the tests of the rule.
Text ResolveLogFile(TextView log_file, TextView component_folder, const LocalTime& now);

}  // namespace kavrolin::toolkit::log
