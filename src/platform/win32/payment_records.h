// PaymentRecords on Windows: the append-only record log of payment_log.h in
// the file "payments.log" of the records folder, and the trace file
// "payments-trace.txt" beside it. The records folder is KAVROLIN_PREFIX when
// set, else "Kavrolin" in the user's local application data folder
// (%LOCALAPPDATA%): a folder the register's account can always write, since
// a store that cannot be written stops every sale; it is made when missing.
// Tracing is on while KAVROLIN_TRACE is "1", read at each call.
//
// Every change is one WriteFile of one whole line at the end of the file,
// under an exclusive lock on a byte far past any data (LockFileEx), so the
// writers of several threads and processes never interleave; readers take
// no lock and skip a last line still being written. A record's id is the
// file's length before its start line plus one: unique, growing, found
// without reading the file. "Started" and resolution lines are flushed to
// the disk (FlushFileBuffers) before the call returns; an outcome line is
// not, as the interface allows. Failures throw AutomationError 75 carrying
// the system's reason.
#pragma once

#include <string>

#include "platform/payment_records.h"

namespace kavrolin::platform::win32 {

class Win32PaymentRecords : public PaymentRecords {
 public:
  // Records in `folder` (a full Windows path); Default() picks the folder
  // named above.
  explicit Win32PaymentRecords(std::wstring folder);
  static std::wstring DefaultFolder();

  int64_t Start(const PaymentStart& start) override;
  void Finish(int64_t id, const PaymentOutcome& outcome) override;
  std::vector<PaymentRecord> Unfinished() override;
  ResolveStatus Resolve(int64_t id, TextView finding, TextView time) override;
  std::vector<PaymentRecord> OfDay(TextView day) override;
  bool TraceOn() override;
  void Trace(TextView line) override;

  std::wstring log_file() const;
  std::wstring trace_file() const;

 private:
  std::wstring folder_;
};

}  // namespace kavrolin::platform::win32
