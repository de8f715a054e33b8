// `kavrolin journal [--date YYYYMMDD] [--follow]`: a day's journal (default:
// today) as UTF-8, decoded from the ANSI code page the journal is written in,
// lines ending in LF. With --follow it goes on printing the lines registers
// append, polling the day file, until interrupted (or until
// host.keep_following says to stop); a day file that does not exist yet is
// waited for. Without --follow a missing day file is a failure (exit 3).
#pragma once

#include <optional>
#include <string>

#include "kavrolin/host.h"

namespace kavrolin::cli {

int RunJournal(Host& host, const std::optional<std::string>& date, bool follow);

}  // namespace kavrolin::cli
