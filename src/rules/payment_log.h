// The payment records as an append-only log of text lines: the form the
// records take where no database is at hand (the Windows realisation keeps
// them in one file). Pure rules on bytes; the file itself is the caller's.
//
// Each change to the records is one line, UTF-8, fields separated by tabs,
// ended by a line feed; a tab, line feed, carriage return or backslash inside
// a field is written as \t, \n, \r or \\:
//   S id pid time day code amount cents invoice cashier register   started
//   F id answered return_code card card_amount index_number failure
//   R id finding resolved_time                                     resolved
// Reading folds the lines in file order into records under the state rules
// of payment_state.h. A last line without its line feed (a write cut short)
// and lines that do not parse are skipped.
//
// Record ids run from 1, one more for each start line. Logs written before
// that numbering took a start line's byte offset plus one as its id; those
// ids are read as they stand, and the next id is one past the last one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/payment_record.h"

namespace kavrolin::rules {

std::string StartLine(int64_t id, int64_t pid, const PaymentStart& start);
std::string FinishLine(int64_t id, const PaymentOutcome& outcome);
std::string ResolveLine(int64_t id, TextView finding, TextView time);

// Every record the log holds, oldest first (the order of their start lines).
std::vector<PaymentRecord> FoldPaymentLog(std::string_view log);

// Whether record `id` of `records` can be resolved now.
ResolveStatus ResolveStatusOf(const std::vector<PaymentRecord>& records, int64_t id);

// The id of the last record whose start line `tail` holds whole, or nothing
// when it holds none. `tail` is the log's end; `whole` says it is the whole
// log, else its first line may be the end of a longer one and is not read.
// The next record's id is this one plus 1 (1 for a log that holds none).
std::optional<int64_t> LastRecordId(std::string_view tail, bool whole);

}  // namespace kavrolin::rules
