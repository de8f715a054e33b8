// Runs the command line in-process over a temporary prefix with a fake clock
// and a fake terminal, collecting its output.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/services_in_prefix.h"
#include "kavrolin/cli.h"

namespace kavrolin::cli {

struct CliRun {
  int status = -1;
  std::string out, err;
};

struct CliEnv : testing::ServicesInPrefix {
  bool err_is_terminal = false;  // as Host::err_is_terminal
  size_t large_import_keys = 2000;  // as Host::large_import_keys
  std::function<bool()> keep_following;  // as Host::keep_following


  // A host over this prefix whose objects are the linked classes.
  Host MakeHost() const {
    Host host;
    host.services = services;
    host.prefix = prefix;
    return host;
  }

  CliRun Run(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    Host host = MakeHost();
    host.in = &in;
    host.out = &out;
    host.err = &err;
    host.err_is_terminal = err_is_terminal;
    host.large_import_keys = large_import_keys;
    host.keep_following = keep_following;
    CliRun run;
    run.status = RunCli(host, args);
    run.out = out.str();
    run.err = err.str();
    return run;
  }
};

}  // namespace kavrolin::cli
