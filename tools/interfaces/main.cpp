// kavrolin-interfaces FOLDER: writes the type library's interface description
// and the Win32 shell's early-bound classes, generated from the member tables,
// into FOLDER (normally src/component/win32). Writes those two files only.
//
// kavrolin-interfaces --installer-registry FILE: writes the installer
// package's registry entries (a WiX include, the entries DllRegisterServer
// writes, for the installed Kavrolin.dll) to FILE.
#include <cstdio>
#include <fstream>
#include <string>

#include "component/installer_registry.h"
#include "component/interface_source.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "kavrolin-interfaces: cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  namespace component = kavrolin::component;
  if (argc == 3 && std::string(argv[1]) == "--installer-registry" && argv[2][0] != '\0') {
    // The package's file Id of Kavrolin.dll and its folder (see
    // packaging/windows/Kavrolin.wxs).
    return WriteFile(argv[2], component::InstallerRegistryInclude(u"[#KavrolinDll]", u"[INSTALLDIR]"))
               ? 0
               : 1;
  }
  if (argc != 2 || argv[1][0] == '\0') {
    std::fprintf(stderr,
                 "usage: kavrolin-interfaces FOLDER\n"
                 "       kavrolin-interfaces --installer-registry FILE\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const bool ok = WriteFile(folder + component::kLibraryIdlFile, component::LibraryIdl()) &&
                  WriteFile(folder + component::kEarlyBoundFile, component::EarlyBoundMethods());
  return ok ? 0 : 1;
}
