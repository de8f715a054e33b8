// PaymentTrail: what one terminal call leaves besides the journal line. For a
// transaction that moves money, a durable "started" payment record before the
// call and its outcome after it; with the support trace switched on, the
// request and the response records, the card number masked.
//
// Used by clsInterFace on the object's thread; does nothing when the services
// carry no payment records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/text.h"
#include "platform/payment_records.h"
#include "platform/services.h"
#include "transaction/terminal_call.h"

namespace kavrolin::transaction {

// The started record of a transaction: now, the code, the 12-digit amount
// field (as BuildRequest takes it) and the request's other fields.
platform::PaymentStart StartOf(platform::Clock& clock, TextView code,
                               const std::string& amount_field, int32_t invoice,
                               TextView cashier, TextView register_id);

// What the record keeps of the terminal's answer: the return code and, on 1,
// the masked card number, the amount and the index number.
platform::PaymentOutcome OutcomeOf(const TerminalResult& result);

class PaymentTrail {
 public:
  // Traces `request` (its ANSI bytes) and, when `start` is given, writes the
  // started record first. Throws AutomationError when that record cannot be
  // written: the terminal must not be called without it.
  PaymentTrail(const platform::Services& services, const std::string& request,
               const std::optional<platform::PaymentStart>& start);

  // The terminal answered. Never throws: the payment is taken or refused
  // whatever its record says, and a record left started asks for a check.
  void Answered(const TerminalResult& result) noexcept;
  // The transaction failed to run after the start; nothing after the first
  // of Answered and Failed changes the record. The trace keeps `why`, with
  // the loader's reason when the terminal library would not load.
  void Failed(TextView why) noexcept;

 private:
  void TraceLine(TextView what, TextView record) noexcept;

  platform::PaymentRecords* records_;
  platform::Clock* clock_;
  platform::TerminalLibrary* terminal_;
  bool trace_ = false;
  std::optional<int64_t> id_;
  bool finished_ = false;
};

}  // namespace kavrolin::transaction
