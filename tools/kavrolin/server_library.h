// A server library loaded as an automation host loads one: by file, with its
// four standard exports looked up. A library once loaded stays loaded for the
// life of the process, since objects it made may live anywhere in the host.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "component/com_abi.h"
#include "component/dispatch.h"
#include "platform/services.h"

namespace kavrolin::cli {

class ServerLibrary {
 public:
  // nullopt, with the reason in `error`, when the file does not load or lacks
  // one of the exports.
  static std::optional<ServerLibrary> Load(const std::filesystem::path& file, std::string& error);

  // A new object of the class `clsid`, reaching the platform through
  // `services`. Throws AutomationError 429 when the library cannot make one.
  component::ObjectRef Create(const component::Guid& clsid, const platform::Services& services) const;

  component::HResult CanUnloadNow() const { return can_unload_now_(); }
  component::HResult Register() const { return register_server_(); }
  component::HResult Unregister() const { return unregister_server_(); }

  const std::filesystem::path& file() const { return file_; }

 private:
  ServerLibrary() = default;

  std::filesystem::path file_;
  component::DllGetClassObjectFn get_class_object_ = nullptr;
  component::DllCanUnloadNowFn can_unload_now_ = nullptr;
  component::DllRegisterServerFn register_server_ = nullptr;
  component::DllUnregisterServerFn unregister_server_ = nullptr;
};

// The program's own server library: libkavrolin.so (Kavrolin.dll on Windows)
// in the folder of the running program, as the build leaves them, else in the
// library folder of an installed tree (bin/kavrolin beside lib/libkavrolin.so).
// The path beside the program when neither exists.
std::filesystem::path DefaultServerLibrary();

}  // namespace kavrolin::cli
