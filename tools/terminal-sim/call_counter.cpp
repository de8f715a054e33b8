#include "call_counter.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <string>

#include "host_file.h"

namespace kavrolin::terminal_sim {
namespace {

std::atomic<uint64_t> process_calls{0};

}  // namespace

uint64_t NextCallNumber(const std::filesystem::path& state_file) {
  uint64_t next = 0;
  std::string error;
  const bool kept = UpdateHostFile(
      state_file,
      [&](const std::string& content) {
        uint64_t last = 0;
        const char* begin = content.data();
        if (std::from_chars(begin, begin + content.size(), last).ec != std::errc()) last = 0;
        next = last + 1;
        return std::to_string(next) + "\n";
      },
      error);
  if (kept) return next;
  std::fprintf(stderr, "terminal-sim: cannot keep call counter %s (%s); counting in this process\n",
               Display(state_file).c_str(), error.c_str());
  return ++process_calls;
}

}  // namespace kavrolin::terminal_sim
