// `kavrolin register [LIBRARY]` and `kavrolin unregister [LIBRARY]`: load the
// server library (default: libkavrolin.so beside the program) and call its
// DllRegisterServer or DllUnregisterServer, which write the registry of the
// process's prefix (KAVROLIN_PREFIX). Exit 0 on success, 1 otherwise.
#pragma once

#include <optional>
#include <string>

#include "kavrolin/host.h"

namespace kavrolin::cli {

int RunRegister(Host& host, bool unregister, const std::optional<std::string>& library);

}  // namespace kavrolin::cli
