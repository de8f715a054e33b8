// The class factory DllGetClassObject hands out on Win32: IClassFactory over
// the library's portable factory (server.h), so that object counting, locks
// and DllCanUnloadNow are the same code on both platforms. Its objects are
// the COM objects of dual_object.h, reaching the platform through the
// process's services as they stand when each object is made.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "component/server.h"

namespace kavrolin::component::win32 {

// DllGetClassObject: a factory for `clsid` speaking `iid` (IUnknown or
// IClassFactory) into *out, with one reference. CLASS_E_CLASSNOTAVAILABLE for
// a class the library does not have, E_NOINTERFACE for another interface.
HRESULT GetComClassObject(REFCLSID clsid, REFIID iid, void** out, LibraryCounts& counts);

// DllGetClassObject itself: as GetComClassObject over the process's counts,
// but one class object per class is made and kept for the life of the
// module, and each request gets a reference to it. A host that never
// releases the class object it was handed (Wine's script engines after
// CreateObject do not) then holds one object in all, not one more for every
// object it creates. Thread-safe.
HRESULT KeptComClassObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace kavrolin::component::win32
