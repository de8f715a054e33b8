// `kavrolin reg export [KEY]` and `kavrolin reg import FILE`: the registry as
// .reg text. Export writes "Windows Registry Editor Version 5.00" text of one
// key (or of every root) to standard output; import applies a 5.00 or
// REGEDIT4 file ("-": standard input) and reports how many keys and values it
// applied, with progress on a terminal for a large file.
#pragma once

#include <optional>
#include <string>

#include "kavrolin/host.h"

namespace kavrolin::cli {

int RunRegExport(Host& host, const std::optional<std::string>& key);
int RunRegImport(Host& host, const std::string& file);

// 2000 -> "2,000".
std::string Grouped(size_t count);

}  // namespace kavrolin::cli
