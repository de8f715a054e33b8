#include "kavrolin/server_library.h"

#if defined(_WIN32)
#include "platform/win32/windows_api.h"
#else
#include <dlfcn.h>
#endif

namespace kavrolin::cli {
namespace {

#if defined(_WIN32)
using LibraryHandle = HMODULE;

LibraryHandle OpenLibrary(const std::filesystem::path& file, std::string& error) {
  HMODULE module = ::LoadLibraryW(file.c_str());
  if (module == nullptr) error = "cannot be loaded (error " + std::to_string(::GetLastError()) + ")";
  return module;
}

void* Symbol(LibraryHandle handle, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(handle, name));
}

std::filesystem::path ProgramFile() {
  wchar_t buffer[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? std::filesystem::path(".\\kavrolin.exe") : std::filesystem::path(buffer);
}

constexpr const char* kLibraryName = "Kavrolin.dll";
#else
using LibraryHandle = void*;

LibraryHandle OpenLibrary(const std::filesystem::path& file, std::string& error) {
  void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    error = reason ? reason : "cannot be loaded";
  }
  return handle;
}

void* Symbol(LibraryHandle handle, const char* name) { return ::dlsym(handle, name); }

std::filesystem::path ProgramFile() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path("./kavrolin") : self;
}

constexpr const char* kLibraryName = "libkavrolin.so";
#endif

template <class Fn>
bool Find(LibraryHandle handle, const char* name, Fn& fn, std::string& error) {
  fn = reinterpret_cast<Fn>(Symbol(handle, name));
  if (fn == nullptr) error = std::string("no export ") + name;
  return fn != nullptr;
}

}  // namespace

std::optional<ServerLibrary> ServerLibrary::Load(const std::filesystem::path& file, std::string& error) {
  // Never closed: see the header.
  LibraryHandle handle = OpenLibrary(file, error);
  if (handle == nullptr) return std::nullopt;
  ServerLibrary library;
  library.file_ = file;
  if (!Find(handle, "DllGetClassObject", library.get_class_object_, error) ||
      !Find(handle, "DllCanUnloadNow", library.can_unload_now_, error) ||
      !Find(handle, "DllRegisterServer", library.register_server_, error) ||
      !Find(handle, "DllUnregisterServer", library.unregister_server_, error)) {
    return std::nullopt;
  }
  return library;
}

component::ObjectRef ServerLibrary::Create(const component::Guid& clsid,
                                           const platform::Services& services) const {
  const component::PlatformGuid platform_clsid = component::ToPlatform(clsid);
  const component::PlatformGuid iid = component::ToPlatform(component::kIidKavrolinFactory);
  void* out = nullptr;
  if (get_class_object_(&platform_clsid, &iid, &out) != component::kOk || out == nullptr) {
    throw component::ShellError(component::kCannotCreateObject);
  }
  auto* factory = static_cast<component::IKavrolinFactory*>(out);
  component::DispatchObject* object = nullptr;
  const component::HResult hr = factory->CreateWithServices(services, &object);
  factory->Release();
  if (hr != component::kOk || object == nullptr) throw component::ShellError(component::kCannotCreateObject);
  return component::ObjectRef::Adopt(object);
}

std::filesystem::path DefaultServerLibrary() {
  const std::filesystem::path folder = ProgramFile().parent_path();
  const std::filesystem::path beside = folder / kLibraryName;
  const std::filesystem::path installed = folder / KAVROLIN_INSTALLED_LIBRARY_DIR / kLibraryName;
  std::error_code ec;
  if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec)) return installed;
  return beside;
}

}  // namespace kavrolin::cli
