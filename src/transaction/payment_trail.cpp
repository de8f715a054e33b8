#include "transaction/payment_trail.h"

#include <charconv>
#include <cstdio>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "base/date_mask.h"
#include "base/number_rules.h"
#include "transaction/card_mask.h"
#include "transaction/records.h"

namespace kavrolin::transaction {
namespace {

constexpr size_t kCardField = 19;

Text Now(platform::Clock* clock, TextView mask) {
  return clock ? FormatDateMask(clock->Now(), mask) : Text();
}

// Control characters (the NULs a library leaves) shown as \xNN, so a trace
// line stays one line of text.
Text Visible(TextView record) {
  Text shown;
  for (char16_t c : record) {
    if (c < u' ' || c == u'\\' || c == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
      shown += AsciiText(escape);
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

platform::PaymentStart StartOf(platform::Clock& clock, TextView code,
                               const std::string& amount_field, int32_t invoice,
                               TextView cashier, TextView register_id) {
  const LocalTime now = clock.Now();
  platform::PaymentStart start;
  start.time = FormatDateMask(now, kTimeStampMask);
  start.day = FormatDateMask(now, kDayMask);
  start.code = code;
  int64_t cents = 0;
  std::from_chars(amount_field.data(), amount_field.data() + amount_field.size(), cents);
  start.cents = cents;
  start.amount = HundredthsText(cents);
  start.invoice = AsciiText(std::to_string(invoice));
  start.cashier = cashier;
  start.register_id = register_id;
  return start;
}

platform::PaymentOutcome OutcomeOf(const TerminalResult& result) {
  platform::PaymentOutcome outcome;
  outcome.answered = true;
  outcome.return_code = result.code;
  if (result.code != 1) return outcome;
  outcome.card = MaskedCardField(TextView(result.response).substr(0, kCardField));
  try {
    ResponseFields fields = ReadResponse(result.response);
    outcome.card_amount = std::move(fields.amount);
    outcome.index_number = std::move(fields.index_number);
  } catch (const AutomationError& e) {
    // The payment stands; the transaction itself reports the bad field.
    outcome.failure = e.description();
  }
  return outcome;
}

PaymentTrail::PaymentTrail(const platform::Services& services, const std::string& request,
                           const std::optional<platform::PaymentStart>& start)
    : records_(services.records.get()),
      clock_(services.clock.get()),
      terminal_(services.terminal.get()) {
  if (records_ == nullptr) return;
  trace_ = records_->TraceOn();
  if (start) id_ = records_->Start(*start);
  TraceLine(u"request", FromAnsi(request));
}

void PaymentTrail::Answered(const TerminalResult& result) noexcept {
  if (records_ == nullptr) return;
  TraceLine(u"response " + AsciiText(std::to_string(result.code)),
            MaskResponseRecord(result.response));
  if (finished_ || !id_) return;
  finished_ = true;
  try {
    records_->Finish(*id_, OutcomeOf(result));
  } catch (...) {
    // Left started: the operator checks the terminal.
  }
}

void PaymentTrail::Failed(TextView why) noexcept {
  if (records_ == nullptr) return;
  if (trace_) {
    // The loader's own words say why a library that is there would not load.
    try {
      Text failure(why);
      if (const Text reason = terminal_ ? terminal_->LoadFailure() : Text(); !reason.empty()) {
        failure += u" (loader: " + reason + u")";
      }
      TraceLine(u"failed", failure);
    } catch (...) {
      // The trace is for support; it never costs a payment.
    }
  }
  if (finished_ || !id_) return;
  finished_ = true;
  try {
    platform::PaymentOutcome outcome;
    outcome.failure = why;
    records_->Finish(*id_, outcome);
  } catch (...) {
    // Left started: the operator checks the terminal.
  }
}

void PaymentTrail::TraceLine(TextView what, TextView record) noexcept {
  if (!trace_) return;
  try {
    Text line = Now(clock_, kTimeStampMask);
    if (id_) line += u" record " + AsciiText(std::to_string(*id_));
    line += u" " + Text(what) + u" \"" + Visible(record) + u"\"";
    records_->Trace(line);
  } catch (...) {
    // The trace is for support; it never costs a payment.
  }
}

}  // namespace kavrolin::transaction
