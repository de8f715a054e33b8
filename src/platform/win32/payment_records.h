// PaymentRecords on Windows: the append-only record log of payment_log.h in
// the file "payments.log" of the records folder, and the trace file
// "payments-trace.txt" beside it. The records folder is KAVROLIN_PREFIX when
// set, else "Kavrolin" in the machine's common application data folder
// (%ProgramData%, "All Users\Application Data" on XP): one place for the
// register's application, which often runs as a service or a shared account,
// and the operator who runs `kavrolin pending` under their own. It is made
// when missing, with modify rights for the Users group, since a store that
// cannot be written stops every sale.
//
// Earlier builds kept the records per user in %LOCALAPPDATA%\Kavrolin. When
// that log exists it is read too (never written but for resolutions of its
// own records), so no record is lost from Unfinished or OfDay; its records'
// ids are their ids there plus kEarlierLogIds.
// Tracing is on while KAVROLIN_TRACE is "1", read at each call.
//
// Every change is one WriteFile of one whole line at the end of the file,
// under an exclusive lock on a byte far past any data (LockFileEx), so the
// writers of several threads and processes never interleave; readers take
// no lock and skip a last line still being written. Record ids run from 1,
// one past the last record's, found in the log's last lines; a log an earlier
// build wrote keeps the ids it gave (its start line's offset plus one) and
// goes on from the last of them. "Started" and resolution lines are flushed to
// the disk (FlushFileBuffers) before the call returns; an outcome line is
// not, as the interface allows. Failures throw AutomationError 75 carrying
// the system's reason.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/payment_records.h"

namespace kavrolin::platform::win32 {

class Win32PaymentRecords : public PaymentRecords {
 public:
  // Ids of the earlier per-user log's records start here (a log of 2^40
  // bytes is far beyond any register's).
  static constexpr int64_t kEarlierLogIds = int64_t{1} << 40;

  // Records in `folder` (a full Windows path), made when missing, with
  // modify rights for the Users group when `machine_wide`; the records of
  // the log in `earlier_folder` (none when empty) are read too.
  explicit Win32PaymentRecords(std::wstring folder, std::wstring earlier_folder = {},
                               bool machine_wide = false);
  // The folders named above for this process.
  static std::shared_ptr<Win32PaymentRecords> Default();

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
  void MakeFolder() const;
  std::vector<PaymentRecord> AllRecords() const;

  std::wstring folder_;
  std::wstring earlier_log_;  // empty: none
  bool machine_wide_;
};

}  // namespace kavrolin::platform::win32
