#include "kavrolin/register_command.h"

#include <cstdio>
#include <ostream>

#include "kavrolin/server_library.h"

namespace kavrolin::cli {

int RunRegister(Host& host, bool unregister, const std::optional<std::string>& library) {
  const char* command = unregister ? "unregister" : "register";
  const std::filesystem::path file = library ? std::filesystem::path(*library) : DefaultServerLibrary();
  std::string error;
  const std::optional<ServerLibrary> server = ServerLibrary::Load(file, error);
  if (!server) {
    *host.err << "kavrolin " << command << ": " << file.string() << ": " << error << '\n';
    return 1;
  }
  const component::HResult hr = unregister ? server->Unregister() : server->Register();
  if (hr != component::kOk) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    *host.err << "kavrolin " << command << ": " << (unregister ? "DllUnregisterServer" : "DllRegisterServer")
              << " failed (" << code << ")\n";
    return 1;
  }
  *host.out << (unregister ? "unregistered " : "registered ") << file.string() << '\n';
  return 0;
}

}  // namespace kavrolin::cli
