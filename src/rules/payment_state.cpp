#include "rules/payment_state.h"

#include "base/automation_error.h"

namespace kavrolin::rules {

bool IsFinding(TextView finding) { return finding == u"paid" || finding == u"not-paid"; }

void CheckFinding(TextView finding) {
  if (!IsFinding(finding)) throw AutomationError(ErrorNumber::kInvalidCall);
}

bool HasOutcome(const PaymentRecord& record) {
  return record.outcome.answered || !record.outcome.failure.empty();
}

bool TakeOutcome(PaymentRecord& record, const PaymentOutcome& outcome) {
  if (HasOutcome(record)) return false;
  record.outcome = outcome;
  if (record.state == PaymentState::kStarted) {
    record.state = outcome.answered ? PaymentState::kCompleted : PaymentState::kFailed;
  }
  return true;
}

ResolveStatus ResolveStatusOf(const PaymentRecord* record) {
  if (record == nullptr) return ResolveStatus::kNoSuchRecord;
  return record->state == PaymentState::kStarted ? ResolveStatus::kResolved : ResolveStatus::kNotPending;
}

ResolveStatus TakeResolution(PaymentRecord* record, TextView finding, TextView time) {
  const ResolveStatus status = ResolveStatusOf(record);
  if (status != ResolveStatus::kResolved) return status;
  record->state = PaymentState::kResolved;
  record->finding = Text(finding);
  record->resolved_time = Text(time);
  return status;
}

std::string_view StateName(PaymentState state) {
  switch (state) {
    case PaymentState::kStarted: return "started";
    case PaymentState::kCompleted: return "completed";
    case PaymentState::kFailed: return "failed";
    case PaymentState::kResolved: return "resolved";
  }
  return "started";
}

PaymentState StateNamed(std::string_view name) {
  if (name == "completed") return PaymentState::kCompleted;
  if (name == "failed") return PaymentState::kFailed;
  if (name == "resolved") return PaymentState::kResolved;
  return PaymentState::kStarted;
}

}  // namespace kavrolin::rules
