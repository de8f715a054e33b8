#include "kavrolin/server_library.h"

#include <dlfcn.h>

namespace kavrolin::cli {
namespace {

template <class Fn>
bool Find(void* handle, const char* name, Fn& fn, std::string& error) {
  fn = reinterpret_cast<Fn>(::dlsym(handle, name));
  if (fn == nullptr) error = std::string("no export ") + name;
  return fn != nullptr;
}

}  // namespace

std::optional<ServerLibrary> ServerLibrary::Load(const std::filesystem::path& file, std::string& error) {
  // Never closed: see the header.
  void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    error = reason ? reason : "cannot be loaded";
    return std::nullopt;
  }
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

std::filesystem::path LibraryBesideProgram() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (ec ? std::filesystem::path(".") : self.parent_path()) / "libkavrolin.so";
}

}  // namespace kavrolin::cli
