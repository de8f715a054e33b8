// The kavrolin command line: parses the arguments and runs one command
// against the host's services and streams. Exit status: 0 success (or a true
// transaction), 1 a failed call or a false transaction, 2 a usage error.
#pragma once

#include <string>
#include <vector>

#include "kavrolin/host.h"

namespace kavrolin::cli {

// `args` without the program name.
int RunCli(Host& host, const std::vector<std::string>& args);

}  // namespace kavrolin::cli
