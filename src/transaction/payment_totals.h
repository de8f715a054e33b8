// The day's history of payment records: the outcome of each record in words
// and the totals per transaction kind and outcome.
#pragma once

#include <cstdint>
#include <vector>

#include "base/text.h"
#include "platform/payment_records.h"

namespace kavrolin::transaction {

// "sale", "void-sale", "refund", "other", "inquiry" for the five codes (the
// command names of the host), else the code itself.
Text KindOfCode(TextView code);

// "unfinished" (still started), "approved" (return code 1), "declined"
// (another return code), "failed" (did not run), or the operator's finding
// ("paid", "not-paid") for a resolved record.
Text OutcomeWord(const platform::PaymentRecord& record);

struct PaymentTotal {
  Text kind;
  Text outcome;
  int64_t count = 0;
  int64_t cents = 0;  // sum of the requested amounts
};

// One total per kind and outcome that occurs, ordered by kind, then outcome.
std::vector<PaymentTotal> TotalsOf(const std::vector<platform::PaymentRecord>& records);

// True for "YYYYMMDD" naming a real calendar date.
bool IsDayText(TextView day);

}  // namespace kavrolin::transaction
