// `kavrolin pending` and `kavrolin history`: the write-ahead payment records
// read and resolved from the command line.
//
//   pending [--json]                          unfinished transactions, newest first
//   pending --resolve ID --outcome paid|not-paid   records what the operator found
//   history [--date YYYYMMDD] [--json]        a day's records and totals (default: today)
//
// Exit 0 on success, 3 when the records cannot be read or the resolution is
// refused, 2 on a usage error (see cli.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kavrolin/host.h"

namespace kavrolin::cli {

struct PendingRequest {
  bool json = false;
  std::optional<int64_t> resolve;      // the transaction to record a finding for
  std::optional<std::string> outcome;  // "paid" or "not-paid"; needed with resolve
};

int RunPending(Host& host, const PendingRequest& request);
// `date` YYYYMMDD; none: today.
int RunHistory(Host& host, const std::optional<std::string>& date, bool as_json);

}  // namespace kavrolin::cli
