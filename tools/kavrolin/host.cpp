#include "kavrolin/host.h"

#include <iostream>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

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
  host.err_is_terminal = isatty(STDERR_FILENO) == 1;
#if defined(_WIN32)
  // The program's own classes. Kavrolin.dll carries its own copy of the C++
  // runtime, so an exception thrown on one side of it (a service of the
  // program failing inside a member) could not be caught on the other.
#else
  host.objects = std::make_shared<LibraryObjectSource>(host.prefix, DefaultServerLibrary());
#endif
  return host;
}

component::ObjectRef Host::Create(TextView name, const platform::Services& services) const {
  if (objects) return objects->Create(name, services);
  return component::ClassFactory(services).Create(name);
}

}  // namespace kavrolin::cli
