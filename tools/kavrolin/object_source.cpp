#include "kavrolin/object_source.h"

#include "component/class_factory.h"
#include "component/registration.h"

namespace kavrolin::cli {

LibraryObjectSource::LibraryObjectSource(std::shared_ptr<const HostPaths> prefix,
                                         std::filesystem::path library_beside)
    : prefix_(std::move(prefix)), library_beside_(std::move(library_beside)) {}

const ServerLibrary& LibraryObjectSource::Loaded(const std::filesystem::path& file) {
  if (const auto it = loaded_.find(file); it != loaded_.end()) return it->second;
  std::string error;
  std::optional<ServerLibrary> library = ServerLibrary::Load(file, error);
  if (!library) {
    throw AutomationError(component::kCannotCreateObject,
                          u"ActiveX component can't create object: " + FromUtf8(error));
  }
  return loaded_.emplace(file, std::move(*library)).first->second;
}

component::ObjectRef LibraryObjectSource::Create(TextView name, const platform::Services& services) {
  const component::ClassInfo* info = component::FindClass(name);
  if (info == nullptr) throw component::ShellError(component::kCannotCreateObject);
  if (services.registry) {
    if (const auto server = component::FindRegisteredServer(*services.registry, *info)) {
      return Loaded(prefix_->ToHost(server->file).path).Create(server->clsid, services);
    }
  }
  std::error_code ec;
  if (std::filesystem::exists(library_beside_, ec)) {
    return Loaded(library_beside_).Create(info->clsid, services);
  }
  return component::ClassFactory(services).Create(info->kind);
}

}  // namespace kavrolin::cli
