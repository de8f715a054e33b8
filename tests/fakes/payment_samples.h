// Payment records as a transaction would write them, for tests of the records
// and of what reads them.
#pragma once

#include "rules/payment_record.h"

namespace kavrolin::testing {

// A started sale of 12.34 on `day` at 10:00:00 by cashier "01" at register A1.
inline rules::PaymentStart SampleStart(const char16_t* day, const char16_t* invoice,
                                          const char16_t* code = u"05", int64_t cents = 1234) {
  rules::PaymentStart start;
  start.day = day;
  start.time = u"2024-01-31 10:00:00";
  start.code = code;
  start.amount = u"12.34";
  start.cents = cents;
  start.invoice = invoice;
  start.cashier = u"01";
  start.register_id = u"A1";
  return start;
}

// An approved answer with a masked card and index number 42.
inline rules::PaymentOutcome ApprovedOutcome() {
  rules::PaymentOutcome outcome;
  outcome.answered = true;
  outcome.return_code = 1;
  outcome.card = u"622202******7890";
  outcome.card_amount = u"12.34";
  outcome.index_number = u"42";
  return outcome;
}

}  // namespace kavrolin::testing
