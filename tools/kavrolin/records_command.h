// `kavrolin pending` and `kavrolin history`: the write-ahead payment records
// read and resolved from the command line.
//
//   pending [--json]                          unfinished transactions, newest first
//   pending --resolve ID --outcome paid|not-paid   records what the operator found
//   history [--date YYYYMMDD] [--json]        a day's records and totals (default: today)
//
// `args` is the whole command line, its first element the command's name.
// Exit 0 on success, 1 when the records cannot be read or the resolution is
// refused, 2 on a usage error.
#pragma once

#include <string>
#include <vector>

#include "kavrolin/host.h"

namespace kavrolin::cli {

int RunPending(Host& host, const std::vector<std::string>& args);
int RunHistory(Host& host, const std::vector<std::string>& args);

}  // namespace kavrolin::cli
