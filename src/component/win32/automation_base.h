// Stands in for the header of automation_base.idl in the header widl writes
// for Kavrolin.idl: the platform's own declarations of the same types and
// interfaces.
#pragma once

#include <windows.h>
#include <oaidl.h>

// Two members share their names with macros of <windows.h>: ExitWindows is a
// function-like macro that would break the interface declaration, DeleteFile
// would become DeleteFileA in some files and not in others.
#undef ExitWindows
#undef DeleteFile
