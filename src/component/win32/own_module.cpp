#include "component/win32/own_module.h"

#include <cstring>
#include <mutex>

#include "component/com_abi.h"

// The linker's symbol for the start of this module's image.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace kavrolin::component::win32 {

HMODULE OwnModule() { return reinterpret_cast<HMODULE>(&__ImageBase); }

Text OwnModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(OwnModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return Text();
    if (length < path.size()) {
      path.resize(length);
      return Text(reinterpret_cast<const char16_t*>(path.data()), path.size());
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
}

HRESULT LoadOwnTypeLibrary(ITypeLib** library) {
  if (library == nullptr) return E_POINTER;
  *library = nullptr;
  // Kept for the life of the process: every object's type information comes
  // from it, and unloading it while a host still holds type information would
  // pull the rug from under that host.
  static ITypeLib* loaded = nullptr;
  static HRESULT status = E_FAIL;
  static std::once_flag once;
  std::call_once(once, [] {
    const Text path = OwnModulePath();
    if (path.empty()) return;
    status = LoadTypeLibEx(reinterpret_cast<const OLECHAR*>(path.c_str()), REGKIND_NONE, &loaded);
  });
  if (loaded == nullptr) return FAILED(status) ? status : E_FAIL;
  loaded->AddRef();
  *library = loaded;
  return S_OK;
}

HRESULT OwnTypeInfo(const Guid& guid, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  ITypeLib* library = nullptr;
  if (const HRESULT hr = LoadOwnTypeLibrary(&library); FAILED(hr)) return hr;
  const HRESULT hr = library->GetTypeInfoOfGuid(ToGuid(guid), info);
  library->Release();
  return hr;
}

GUID ToGuid(const Guid& guid) {
  static_assert(sizeof(GUID) == sizeof(PlatformGuid));
  const PlatformGuid platform = ToPlatform(guid);
  GUID out;
  std::memcpy(&out, &platform, sizeof out);
  return out;
}

Guid FromGuid(const GUID& guid) {
  PlatformGuid platform;
  std::memcpy(static_cast<void*>(&platform), &guid, sizeof platform);
  return FromPlatform(platform);
}

}  // namespace kavrolin::component::win32
