// The edge between the platform's VARIANT and the library's own Variant: what
// the Win32 shell does to every argument before the dispatch layer sees it,
// and to every result and by-reference argument after a member ran.
//
// Arguments are coerced per declared parameter type with VariantChangeType
// (booleans as "True"/"False" text), after following a by-reference argument
// to its value: a script variable passed by reference arrives as
// VT_BYREF|VT_VARIANT, an early-bound caller's typed reference as
// VT_BYREF|<type>. Failures are AutomationError 13 "Type mismatch",
// 6 "Overflow" or 94 "Invalid use of Null".
//
// Only the calling thread's own VARIANTs are touched; no state is kept.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <optional>

#include "base/variant.h"
#include "component/member_table.h"

namespace kavrolin::component::win32 {

// True for an argument a caller left out: VT_ERROR with DISP_E_PARAMNOTFOUND,
// or such a value behind a by-reference argument.
bool IsLeftOut(const VARIANT& arg);

// The argument as the parameter's declared type wants it. An empty value
// (an unassigned script variable) passed for an array parameter is an array
// without bounds; an array of VARIANTs passes for a text array when every
// item converts to text, and for a byte array when every item converts to a
// byte. Throws AutomationError (see above).
Variant ArgumentValue(const VARIANT& arg, DeclaredType type);

// The value held, whatever its type: what a VARIANT parameter receives.
// Numbers of other widths become doubles; objects are 13 "Type mismatch".
Variant FromVariant(const VARIANT& value);

// A new VARIANT the caller owns (VariantClear). Text arrays become arrays of
// BSTR, or arrays of VARIANTs holding BSTRs when `script_arrays` is set (the
// only arrays a script can index); an array without bounds is an array
// pointer of null. Answers E_OUTOFMEMORY when memory ran out.
HRESULT ToVariant(const Variant& value, bool script_arrays, VARIANT* out);

// Writes a member's in/out value back through a by-reference argument: into
// a script variable as a VARIANT of the value's own type (text arrays as
// arrays of VARIANTs), through a typed reference after conversion to that
// type, freeing what the reference held before. A by-value argument is left
// alone. Answers the conversion's failure code.
HRESULT WriteBack(const VARIANT& arg, const Variant& value);

// Stores a result into an early-bound caller's [out, retval] pointer of type
// `type` (VT_BSTR, VT_I4, ..., VT_VARIANT, VT_ARRAY|VT_BSTR ...); the pointer
// holds nothing before. A null pointer is E_POINTER.
HRESULT StoreResult(const Variant& value, VARTYPE type, void* out);

}  // namespace kavrolin::component::win32
