// kavrolin-interfaces FOLDER: writes the type library's interface description
// and the Win32 shell's early-bound classes, generated from the member tables,
// into FOLDER (normally src/component/win32). Writes those two files only.
#include <cstdio>
#include <fstream>
#include <string>

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
  if (argc != 2 || argv[1][0] == '\0') {
    std::fprintf(stderr, "usage: kavrolin-interfaces FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  namespace component = kavrolin::component;
  const bool ok = WriteFile(folder + component::kLibraryIdlFile, component::LibraryIdl()) &&
                  WriteFile(folder + component::kEarlyBoundFile, component::EarlyBoundMethods());
  return ok ? 0 : 1;
}
