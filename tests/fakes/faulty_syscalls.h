// Fault injection underneath the POSIX realisation: while a SyscallFaults
// object lives, every call of the file functions the realisation makes
// (open, read, write, fsync, fdatasync, rename, flock, ftruncate, close,
// mkostemp) is recorded in its FaultPlan, and the call the plan names fails
// the way the system can make it fail: with an errno value, or for write
// with one of the partial outcomes below. Calls on standard input, output
// and error are left alone, so test output never fails.
//
// faulty_syscalls.cpp must be linked into the test executable itself: its
// definitions stand in for the C library's there. Without a SyscallFaults
// alive they only pass the call on. One SyscallFaults at a time; the test's
// own thread only.
#pragma once

#include <string>
#include <vector>

#include "fakes/fault_plan.h"

namespace kavrolin::testing {

// write only: the call writes the first half of the bytes and answers that
// count; a short write the caller must finish.
inline constexpr int kShortWrite = -1;
// write only: as kShortWrite, then the next write on the same descriptor
// fails with ENOSPC: a disk that filled up in the middle of the bytes.
inline constexpr int kTornWrite = -2;

class SyscallFaults {
 public:
  SyscallFaults();
  ~SyscallFaults();
  SyscallFaults(const SyscallFaults&) = delete;
  SyscallFaults& operator=(const SyscallFaults&) = delete;

  FaultPlan& plan() { return plan_; }

  // What each recorded call can answer when the system fails it.
  static std::vector<int> FailuresOf(const std::string& call);

 private:
  FaultPlan plan_;
};

}  // namespace kavrolin::testing
