// How a member's failure reaches a Win32 caller: as the status code
// 0x800A0000 + error number (the Basic runtime's facility), with the text in
// EXCEPINFO for late-bound callers and in the thread's IErrorInfo for
// early-bound ones.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "base/automation_error.h"
#include "component/identifiers.h"

namespace kavrolin::component::win32 {

// 0x800A0000 + number for the runtime's numbers (1..65535); a number that is
// already a failure code (negative) is kept; anything else is E_FAIL.
HRESULT StatusOf(const AutomationError& error);

// Fills `info` (which the caller owns and has zeroed or not) with source,
// text and status code; a null `info` is ignored.
void FillExcepInfo(const AutomationError& error, const ClassInfo& source, EXCEPINFO* info);

// Makes the error the thread's current error information (SetErrorInfo), for
// callers that ask through ISupportErrorInfo/GetErrorInfo.
void PostErrorInfo(const AutomationError& error, const ClassInfo& source);

}  // namespace kavrolin::component::win32
