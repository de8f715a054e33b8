// The rules a payment record's state follows, whatever keeps the records (a
// database, a log of lines, a fake): one copy, so no two stores can disagree
// on what a record becomes.
//   - An outcome is taken once: it turns a "started" record "completed"
//     (answered) or "failed"; a record that has an outcome keeps it.
//   - A resolution applies only to a "started" record.
//   - A record resolved first keeps its state and finding and gains a later
//     outcome beside them.
#pragma once

#include <string_view>

#include "rules/payment_record.h"

namespace kavrolin::rules {

// The operator's findings a resolution may carry: "paid" and "not-paid".
bool IsFinding(TextView finding);
// Throws AutomationError 5 for any other finding.
void CheckFinding(TextView finding);

// Whether the record holds an outcome (an answer or a failure).
bool HasOutcome(const PaymentRecord& record);

// Gives `record` the outcome under the rules above; false when the record
// keeps what it held (it had an outcome already).
bool TakeOutcome(PaymentRecord& record, const PaymentOutcome& outcome);

// Whether `record` (null: no such record) can be resolved now.
ResolveStatus ResolveStatusOf(const PaymentRecord* record);

// Resolves `record` with the finding at `time` when it is "started"; the
// status says whether it did. The finding is not checked here.
ResolveStatus TakeResolution(PaymentRecord* record, TextView finding, TextView time);

// The state's stored name: "started", "completed", "failed", "resolved";
// a name that is none of those reads as "started", which asks for a check.
std::string_view StateName(PaymentState state);
PaymentState StateNamed(std::string_view name);

}  // namespace kavrolin::rules
