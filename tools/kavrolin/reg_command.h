// `kavrolin reg export [KEY]` and `kavrolin reg import FILE|-`: the registry
// in its text form, so support staff can inspect and seed the store and
// files exported on Windows load here.
//
// export writes to standard output in the "Windows Registry Editor Version
// 5.00" form (UTF-8): KEY ("HKEY_CURRENT_USER\Software\Shop" or
// "HKCU\Software\Shop") with everything below it, or without KEY every root
// that holds keys or values. import reads the file ("-": standard input) in
// either form; a file with a fault changes nothing and names its line.
// Returns 0 on success, 1 when the key or file is missing, the text has a
// fault or the registry refuses a change, 2 for a usage error.
#pragma once

#include <string>
#include <vector>

#include "kavrolin/host.h"

namespace kavrolin::cli {

// `args` starts with "reg".
int RunReg(Host& host, const std::vector<std::string>& args);

}  // namespace kavrolin::cli
