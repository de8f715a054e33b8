// The four exports of Kavrolin.dll (named without decoration by Kavrolin.def).
// Registration writes the library's entries through the registry service
// (registration.h) and registers the embedded type library with the system;
// unregistration removes both.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include "component/registration.h"
#include "component/server.h"
#include "component/win32/com_class_factory.h"
#include "component/win32/own_module.h"
#include "platform/services.h"

namespace component = kavrolin::component;
namespace win32 = kavrolin::component::win32;

namespace {

// The folder of the module's file, for the type library's help folder.
std::wstring FolderOf(const std::wstring& file) {
  const size_t slash = file.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return win32::KeptComClassObject(clsid, iid, out);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return component::CanUnloadNow(component::ProcessCounts()) == component::kOk ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
  try {
    const kavrolin::Text path = win32::OwnModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const kavrolin::platform::Services services = kavrolin::platform::Services::Default();
    if (!services.registry || component::RegisterLibrary(*services.registry, path) != 0) {
      return SELFREG_E_CLASS;
    }
    ITypeLib* library = nullptr;
    if (FAILED(win32::LoadOwnTypeLibrary(&library))) return SELFREG_E_TYPELIB;
    const std::wstring file(path.begin(), path.end());
    std::wstring folder = FolderOf(file);
    const HRESULT hr = RegisterTypeLib(library, const_cast<OLECHAR*>(file.c_str()),
                                       folder.empty() ? nullptr : folder.data());
    library->Release();
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_TYPELIB;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  try {
    // The type library's own entries first; missing ones are no failure.
    const GUID libid = win32::ToGuid(component::kLibId);
    UnRegisterTypeLib(libid, component::kLibraryMajor, component::kLibraryMinor, component::kLibraryLocale,
                      SYS_WIN32);
    const kavrolin::platform::Services services = kavrolin::platform::Services::Default();
    if (!services.registry) return SELFREG_E_CLASS;
    return component::UnregisterLibrary(*services.registry) == 0 ? S_OK : SELFREG_E_CLASS;
  } catch (...) {
    return SELFREG_E_CLASS;
  }
}

}  // extern "C"
