// The Win32 face of a library object: one COM object per dispatch object,
// speaking the class's dual default interface (its own table of operations
// for early-bound callers, IDispatch for late-bound ones), ISupportErrorInfo
// and IProvideClassInfo.
//
// Late-bound calls (IDispatch::Invoke) go through the member tables: names are
// found without regard to letter case, each argument is coerced to its
// parameter's declared type (see variant_bridge.h), left-out optional
// arguments (missing, or DISP_E_PARAMNOTFOUND) take their defaults, in/out
// arguments passed by reference are written back when the member changed
// them, and a member's failure answers DISP_E_EXCEPTION with EXCEPINFO scode
// 0x800A0000 + number and the error's text. Early-bound calls build the same
// argument list from the operation's own parameters and answer the same
// status code, with the text in the thread's IErrorInfo.
//
// Every call holds a reference on the COM object for its whole length.
// Apartment model: an object is used on the thread that made it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "component/dispatch.h"

namespace kavrolin::component::win32 {

// Wraps `object` (one of the three classes) in its COM object and answers
// that object's interface `iid` into *out with one reference.
HRESULT WrapObject(ObjectRef object, REFIID iid, void** out);

}  // namespace kavrolin::component::win32
