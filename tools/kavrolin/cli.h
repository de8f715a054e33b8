// The kavrolin command line: one CLI11 application whose subcommands run
// against the host's services and streams.
//
// Exit status: 0 success (an approved transaction), 1 declined by the
// terminal, 2 a usage error, 3 failed (an automation error, a missing
// terminal library, unwritable records, ...). Every non-zero exit writes one
// line on standard error saying why.
#pragma once

#include <string>
#include <vector>

#include "kavrolin/host.h"

namespace kavrolin::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDeclined = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFailed = 3;

// `args` without the program name.
int RunCli(Host& host, const std::vector<std::string>& args);

// The manual page (man(7) source) for every subcommand, from the same
// definitions the parser uses.
std::string ManPage();

}  // namespace kavrolin::cli
