#include "kavrolin/host.h"

#include <iostream>

namespace kavrolin::cli {

Host Host::Default() {
  Host host;
  host.services = platform::Services::Default();
  host.prefix = std::make_shared<const platform::posix::Prefix>(platform::posix::Prefix::DefaultRoot());
  host.in = &std::cin;
  host.out = &std::cout;
  host.err = &std::cerr;
  return host;
}

}  // namespace kavrolin::cli
