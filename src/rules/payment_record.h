// The payment record's data: what a record holds when the transaction starts,
// what the terminal answered, and the states a record moves through. Shared
// by the payment records interface (platform/payment_records.h) and the
// payment log rules.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace kavrolin::rules {

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

}  // namespace kavrolin::rules
