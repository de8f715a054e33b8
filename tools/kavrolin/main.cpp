// kavrolin: the command-line automation host.
#include <string>
#include <vector>

#include "kavrolin/cli.h"

int main(int argc, char** argv) {
  kavrolin::cli::Host host = kavrolin::cli::Host::Default();
  return kavrolin::cli::RunCli(host, std::vector<std::string>(argv + 1, argv + argc));
}
