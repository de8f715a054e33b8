// The simulator's call numbers: 1 for the first call ever answered from a
// state file, then one more per call, carried across processes. Callable from
// any thread of any process.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kavrolin::terminal_sim {

// Reads the number kept in `state_file`, writes it back increased by one and
// returns the increased number, all under an exclusive flock(2) so concurrent
// callers never share a number. A missing file counts as 0; content that is
// not a number counts as 0. When the file cannot be opened, locked or written,
// a note goes to standard error and the number comes from a counter of this
// process instead.
uint64_t NextCallNumber(const std::filesystem::path& state_file);

}  // namespace kavrolin::terminal_sim
