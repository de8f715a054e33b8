// typelib-byref IN OUT: copies the type library IN to OUT with its [out]
// by-value texts made by-reference (see typelib_byref.h). A build step of
// the Windows build, run on the build machine; fails when nothing changed,
// so a type library pass that lost its by-value stand-ins is noticed.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "typelib_byref.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: typelib-byref IN OUT\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::vector<uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    std::fprintf(stderr, "typelib-byref: cannot read %s\n", argv[1]);
    return 1;
  }
  const kavrolin::typelib::ByRefResult result = kavrolin::typelib::MakeOutTextsByReference(image);
  if (!result.error.empty() || result.changed == 0) {
    std::fprintf(stderr, "typelib-byref: %s: %s\n", argv[1],
                 result.error.empty() ? "no [out] by-value text to change" : result.error.c_str());
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "typelib-byref: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("typelib-byref: %d parameter(s) made by-reference\n", result.changed);
  return 0;
}
