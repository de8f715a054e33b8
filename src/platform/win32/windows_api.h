// <windows.h> for the Windows realisations, without the macros that would
// rename the platform interfaces' own members (FileSystem::DeleteFile,
// MessageBox, SystemOperations::GetComputerName, ...). Code here calls the
// explicit A and W functions instead. Include this, never <windows.h>.
#pragma once

#include <winsock2.h>  // before windows.h, which would bring the old winsock
#include <windows.h>

#undef CreateDirectory
#undef DeleteFile
#undef GetComputerName
#undef LookupPrivilegeValue
#undef MessageBox
#undef ReplaceFile
#undef SetComputerName
#undef SystemParametersInfo
