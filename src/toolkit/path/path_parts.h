// Splitting a Windows path into folder, file name and extension by scanning
// for separators from the right. The text alone decides: nothing is
// normalised, "/" is an ordinary character, letter case is kept, and the file
// system is never looked at.
//
// Unguarded: a text longer than 32,767 units throws AutomationError 6
// (Overflow), as the 16-bit position counter cannot hold its length. The
// parameters are never changed. Pure functions; safe from any thread.
#pragma once

#include "base/text.h"

namespace kavrolin::toolkit::path {

// The text up to and including its last ":" or "\" ("C:\data\in\file.txt"
// gives "C:\data\in\", "C:file.txt" gives "C:"); empty when it has neither.
Text ParsePath(TextView sPathIn);
// The same as ParsePath in every respect.
Text GetPath(TextView sPathIn);
// The text after its last "\" ("C:\data\" gives empty text); the whole text
// when it has none (":" is no separator here).
Text ParseFileName(TextView sFileIn);
// The text after its last "." ("C:\v1.2\readme" gives "2\readme": the scan
// does not stop at "\"); the whole text when it has none.
Text GetFileExt(TextView sFilename);

}  // namespace kavrolin::toolkit::path
