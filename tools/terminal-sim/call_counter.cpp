#include "call_counter.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/posix/unique_fd.h"

namespace kavrolin::terminal_sim {
namespace {

using platform::posix::LockExclusive;
using platform::posix::OpenFd;
using platform::posix::ReadAll;
using platform::posix::UniqueFd;
using platform::posix::WriteAll;

std::atomic<uint64_t> process_calls{0};

uint64_t Fallback(const std::filesystem::path& state_file, const char* what) {
  std::fprintf(stderr, "terminal-sim: cannot %s call counter %s (%s); counting in this process\n",
               what, state_file.c_str(), std::strerror(errno));
  return ++process_calls;
}

}  // namespace

uint64_t NextCallNumber(const std::filesystem::path& state_file) {
  UniqueFd fd = OpenFd(state_file.c_str(), O_RDWR | O_CREAT, 0644);
  if (!fd.valid()) return Fallback(state_file, "open");
  // The lock goes with the descriptor, so it is released when fd closes.
  if (!LockExclusive(fd.get())) return Fallback(state_file, "lock");
  std::string content;
  if (!ReadAll(fd.get(), content)) return Fallback(state_file, "read");
  uint64_t last = 0;
  const char* begin = content.data();
  if (std::from_chars(begin, begin + content.size(), last).ec != std::errc()) last = 0;
  const uint64_t next = last + 1;
  // The new number is never shorter than the old one, so overwriting from the
  // start leaves no stale digits; truncating is for a file that held junk.
  const std::string text = std::to_string(next) + "\n";
  if (::lseek(fd.get(), 0, SEEK_SET) < 0 || !WriteAll(fd.get(), text) ||
      ::ftruncate(fd.get(), static_cast<off_t>(text.size())) < 0) {
    return Fallback(state_file, "write");
  }
  return next;
}

}  // namespace kavrolin::terminal_sim
