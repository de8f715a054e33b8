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

namespace kavrolin::platform {

// What a record holds when the transaction starts.
struct PaymentStart {
  Text time;         // local time, "yyyy-MM-dd HH:mm:ss"
  Text day;          // local date, "YYYYMMDD"; the key of a day's history
  Text code;         // transaction code, e.g. "05"
  Text amount;       // amount in currency units, "0.00" form
  int64_t cents = 0; // the same amount in hundredths
  Text invoice;      // invoice number as decimal text
  Text cashier;
  Text register_id;
};

// What the terminal answered, or why the transaction failed to run.
struct PaymentOutcome {
  bool answered = false;    // false: a run-time failure after the start
  int32_t return_code = 0;  // the library's result when answered; 1 = approved
  Text card;                // masked card number, trailing blanks removed
  Text card_amount;         // amount of the response, "0.00" form
  Text index_number;
  Text failure;             // when not answered: what failed
};

enum class PaymentState { kStarted, kCompleted, kFailed, kResolved };

struct PaymentRecord {
  int64_t id = 0;
  int64_t pid = 0;  // the process that started the transaction
  PaymentState state = PaymentState::kStarted;
  PaymentStart start;
  PaymentOutcome outcome;  // empty while started
  Text finding;            // resolved: "paid" or "not-paid"
  Text resolved_time;      // resolved: local time of the resolution
};

enum class ResolveStatus { kResolved, kNoSuchRecord, kNotPending };

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
