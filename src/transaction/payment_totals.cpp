#include "transaction/payment_totals.h"

#include <map>
#include <utility>

namespace kavrolin::transaction {

Text KindOfCode(TextView code) {
  if (code == u"05") return u"sale";
  if (code == u"06") return u"inquiry";
  if (code == u"07") return u"void-sale";
  if (code == u"08") return u"refund";
  if (code == u"ff") return u"other";
  return Text(code);
}

Text OutcomeWord(const platform::PaymentRecord& record) {
  switch (record.state) {
    case platform::PaymentState::kStarted: return u"unfinished";
    case platform::PaymentState::kResolved: return record.finding;
    case platform::PaymentState::kFailed: return u"failed";
    case platform::PaymentState::kCompleted:
      return record.outcome.return_code == 1 ? u"approved" : u"declined";
  }
  return u"unfinished";
}

std::vector<PaymentTotal> TotalsOf(const std::vector<platform::PaymentRecord>& records) {
  std::map<std::pair<Text, Text>, PaymentTotal> totals;
  for (const platform::PaymentRecord& record : records) {
    const Text kind = KindOfCode(record.start.code);
    const Text outcome = OutcomeWord(record);
    PaymentTotal& total = totals[{kind, outcome}];
    total.kind = kind;
    total.outcome = outcome;
    ++total.count;
    total.cents += record.start.cents;
  }
  std::vector<PaymentTotal> ordered;
  for (auto& [key, total] : totals) ordered.push_back(std::move(total));
  return ordered;
}

bool IsDayText(TextView day) {
  if (day.size() != 8) return false;
  int value[8];
  for (size_t i = 0; i < 8; ++i) {
    if (day[i] < u'0' || day[i] > u'9') return false;
    value[i] = day[i] - u'0';
  }
  const int year = value[0] * 1000 + value[1] * 100 + value[2] * 10 + value[3];
  const int month = value[4] * 10 + value[5];
  const int date = value[6] * 10 + value[7];
  if (year < 1 || month < 1 || month > 12 || date < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return date <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

}  // namespace kavrolin::transaction
