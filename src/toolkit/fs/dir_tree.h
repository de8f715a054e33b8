// Making every directory of an absolute Windows-form path, parents first.
// Guarded: both answer false on any failure and never throw.
#pragma once

#include "base/text.h"
#include "platform/file_system.h"

namespace kavrolin::toolkit::fs {

// Asks the file system to create one directory. True when it was made, and
// when the file system refused it with the path/file access error (75: an
// existing item or a drive root) while a directory of that name is there; an
// existing file of that name, a missing parent, a missing drive, a bad name
// or any other failure: false.
bool MakeDirectory(platform::FileSystem& files, const Text& path);

// strTree must contain ":\" (a relative path or a network path answers false
// and makes nothing). MakeDirectory runs for the text up to and including
// each "\" in turn ("C:\", "C:\POS\", ...), then for the whole text when it
// does not end in "\"; the first refusal stops the walk and answers false.
// True when every directory of the path is there. Positions are 16-bit as
// the toolkit counts them: a ":\" or "\" beyond position 32,767 answers
// false.
bool CreateDirTree(platform::FileSystem& files, const Text& strTree);

}  // namespace kavrolin::toolkit::fs
