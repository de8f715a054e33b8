// Kavrolin.dll's knowledge of itself: its module handle, its file, and the
// type library embedded in it as resource 1 TYPELIB, loaded from the module
// itself (never through the registry, so an unregistered copy works too).
// Thread-safe.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "base/text.h"
#include "component/identifiers.h"

namespace kavrolin::component::win32 {

HMODULE OwnModule();
// The full path of the module's file; empty when the system cannot say.
Text OwnModulePath();

// The embedded type library with a reference for the caller; null and the
// loader's failure code when it cannot be loaded. Loaded once per process.
HRESULT LoadOwnTypeLibrary(ITypeLib** library);
// The type information of the interface or class `guid`, with a reference.
HRESULT OwnTypeInfo(const Guid& guid, ITypeInfo** info);

// The platform's GUID for one of the library's identifiers.
GUID ToGuid(const Guid& guid);
Guid FromGuid(const GUID& guid);

}  // namespace kavrolin::component::win32
