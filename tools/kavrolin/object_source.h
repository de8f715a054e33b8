// Where the host's objects come from. The program creates them as an
// automation host does: through the server registered for the class's ProgID
// when the classes are registered, through libkavrolin.so beside the program
// otherwise, and from the classes linked into the program when neither is
// there. A host without a source (the tests, and the Windows program: see
// Host::Default) uses the linked classes.
#pragma once

#include <filesystem>
#include <map>
#include <memory>

#include "base/text.h"
#include "component/dispatch.h"
#include "kavrolin/host_paths.h"
#include "kavrolin/server_library.h"
#include "platform/services.h"

namespace kavrolin::cli {

class ObjectSource {
 public:
  virtual ~ObjectSource() = default;
  // `name` is a class name, ProgID or CLSID text. Throws AutomationError 429
  // when the object cannot be made.
  virtual component::ObjectRef Create(TextView name, const platform::Services& services) = 0;
};

class LibraryObjectSource : public ObjectSource {
 public:
  // `prefix` maps the registered server's Windows path to the host.
  LibraryObjectSource(std::shared_ptr<const HostPaths> prefix,
                      std::filesystem::path library_beside);
  component::ObjectRef Create(TextView name, const platform::Services& services) override;

 private:
  const ServerLibrary& Loaded(const std::filesystem::path& file);

  std::shared_ptr<const HostPaths> prefix_;
  std::filesystem::path library_beside_;
  std::map<std::filesystem::path, ServerLibrary> loaded_;
};

}  // namespace kavrolin::cli
