#include "kavrolin/host.h"

#include <iostream>

#include "component/class_factory.h"
#include "kavrolin/object_source.h"

namespace kavrolin::cli {

Host Host::Default() {
  Host host;
  host.services = platform::Services::Default();
  host.prefix = DefaultHostPaths();
  host.in = &std::cin;
  host.out = &std::cout;
  host.err = &std::cerr;
  host.objects = std::make_shared<LibraryObjectSource>(host.prefix, DefaultServerLibrary());
  return host;
}

component::ObjectRef Host::Create(TextView name, const platform::Services& services) const {
  if (objects) return objects->Create(name, services);
  return component::ClassFactory(services).Create(name);
}

}  // namespace kavrolin::cli
