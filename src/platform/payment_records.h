// PaymentRecords: the write-ahead record of every card payment, kept so that a
// register that dies during the terminal call still knows a payment may have
// been taken. Each transaction that moves money makes one record: "started",
// durable on disk before the terminal library is called, then its outcome
// once the library has answered. A record still "started" when no process is
// working on it means the process died during the terminal call; the operator
// checks the terminal and resolves it as paid or not paid.
//
// Also the support trace: with tracing switched on, the request and response
// records of each terminal call are appended to a trace file.
//
// Records hold no full card number: the caller hands in the masked form only.
// The realisation is safe to use from several threads and processes at once.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"
#include "rules/payment_record.h"

namespace kavrolin::platform {

using rules::PaymentOutcome;
using rules::PaymentRecord;
using rules::PaymentStart;
using rules::PaymentState;
using rules::ResolveStatus;

class PaymentRecords {
 public:
  virtual ~PaymentRecords() = default;

  // Makes a "started" record carrying this process's id and answers its id.
  // The record is on disk when this returns. Throws AutomationError when it
  // cannot be written; the caller must then not call the terminal.
  virtual int64_t Start(const PaymentStart& start) = 0;
  // Stores the outcome of record `id`, once: a record that has one keeps it.
  // A record resolved meanwhile keeps its state and finding and gains the
  // outcome beside them. Not synced on its own: the next Start syncs it, and
  // a crash before then leaves the record "started", which errs on the side
  // of a check at the terminal. Throws AutomationError.
  virtual void Finish(int64_t id, const PaymentOutcome& outcome) = 0;

  // The records still "started", newest first. Throws AutomationError.
  virtual std::vector<PaymentRecord> Unfinished() = 0;
  // Marks a "started" record resolved with the operator's `finding`, "paid"
  // or "not-paid"; a record in any other state keeps what it holds. Throws
  // AutomationError 5 for another finding, AutomationError when the records
  // cannot be written.
  virtual ResolveStatus Resolve(int64_t id, TextView finding, TextView time) = 0;
  // The records of local day `day` ("YYYYMMDD"), oldest first. Throws
  // AutomationError.
  virtual std::vector<PaymentRecord> OfDay(TextView day) = 0;

  // True when the support trace is switched on.
  virtual bool TraceOn() = 0;
  // Appends one line (no line ending) to the trace. Never throws: a trace
  // that cannot be written costs no payment.
  virtual void Trace(TextView line) = 0;
};

}  // namespace kavrolin::platform
