#include "kavrolin/records_command.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>

#include <nlohmann/json.hpp>

#include "base/automation_error.h"
#include "base/date_mask.h"
#include "kavrolin/cli.h"
#include "transaction/payment_totals.h"

namespace kavrolin::cli {
namespace {

using nlohmann::json;
using platform::PaymentRecord;

std::string Cents(int64_t cents) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "",
                static_cast<long long>(std::llabs(cents) / 100),
                static_cast<long long>(std::llabs(cents) % 100));
  return text;
}

json StartJson(const PaymentRecord& r) {
  return {{"id", r.id},
          {"time", ToUtf8(r.start.time)},
          {"code", ToUtf8(r.start.code)},
          {"kind", ToUtf8(transaction::KindOfCode(r.start.code))},
          {"amount", ToUtf8(r.start.amount)},
          {"invoice", ToUtf8(r.start.invoice)},
          {"cashier", ToUtf8(r.start.cashier)},
          {"register", ToUtf8(r.start.register_id)},
          {"pid", r.pid}};
}

std::string StartLine(const PaymentRecord& r) {
  return "#" + std::to_string(r.id) + " " + ToUtf8(r.start.time) + " " +
         ToUtf8(transaction::KindOfCode(r.start.code)) + " (" + ToUtf8(r.start.code) +
         ") amount " + ToUtf8(r.start.amount) + " invoice " + ToUtf8(r.start.invoice) +
         " cashier \"" + ToUtf8(r.start.cashier) + "\" register \"" + ToUtf8(r.start.register_id) +
         "\" pid " + std::to_string(r.pid);
}

int Fail(Host& host, const std::string& command, const AutomationError& e) {
  *host.err << "kavrolin " << command << ": error " << e.number() << ": "
            << ToUtf8(e.description()) << '\n';
  return kExitFailed;
}

bool HaveRecords(Host& host, const std::string& command) {
  if (host.services.records) return true;
  *host.err << "kavrolin " << command << ": this host keeps no payment records\n";
  return false;
}

int Resolve(Host& host, int64_t id, const std::string& finding) {
  const Text now = FormatDateMask(host.services.clock->Now(), kTimeStampMask);
  switch (host.services.records->Resolve(id, FromUtf8(finding), now)) {
    case platform::ResolveStatus::kResolved:
      *host.out << "transaction " << id << " resolved: " << finding << '\n';
      return 0;
    case platform::ResolveStatus::kNoSuchRecord:
      *host.err << "kavrolin pending: no transaction " << id << '\n';
      return kExitFailed;
    case platform::ResolveStatus::kNotPending:
      *host.err << "kavrolin pending: transaction " << id
                << " is not pending; its record stays as it is\n";
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace

int RunPending(Host& host, const PendingRequest& request) {
  const auto& resolve = request.resolve;
  const auto& finding = request.outcome;
  const bool as_json = request.json;
  if (resolve && !finding) {
    *host.err << "kavrolin pending: --resolve needs --outcome paid|not-paid\n";
    return kExitUsage;
  }
  if (!HaveRecords(host, "pending")) return kExitFailed;
  try {
    if (resolve) return Resolve(host, *resolve, *finding);
    const std::vector<PaymentRecord> pending = host.services.records->Unfinished();
    if (as_json) {
      json list = json::array();
      for (const PaymentRecord& r : pending) list.push_back(StartJson(r));
      *host.out << list.dump() << '\n';
      return 0;
    }
    if (pending.empty()) {
      *host.out << "no unfinished transactions\n";
      return 0;
    }
    *host.out << pending.size() << " unfinished transaction(s), newest first; check each on the "
              << "terminal:\n";
    for (const PaymentRecord& r : pending) *host.out << "  " << StartLine(r) << '\n';
    return 0;
  } catch (const AutomationError& e) {
    return Fail(host, "pending", e);
  }
}

int RunHistory(Host& host, const std::optional<std::string>& date, bool as_json) {
  const Text day =
      date ? FromUtf8(*date) : FormatDateMask(host.services.clock->Now(), kDayMask);
  if (!transaction::IsDayText(day)) {
    *host.err << "kavrolin history: --date \"" << *date << "\" is not a date of the form YYYYMMDD\n";
    return kExitUsage;
  }
  if (!HaveRecords(host, "history")) return kExitFailed;
  try {
    const std::vector<PaymentRecord> records = host.services.records->OfDay(day);
    const std::vector<transaction::PaymentTotal> totals = transaction::TotalsOf(records);
    if (as_json) {
      json out{{"date", ToUtf8(day)}, {"records", json::array()}, {"totals", json::array()}};
      for (const PaymentRecord& r : records) {
        json row = StartJson(r);
        row["outcome"] = ToUtf8(transaction::OutcomeWord(r));
        row["return_code"] = r.outcome.answered ? json(r.outcome.return_code) : json(nullptr);
        row["card"] = ToUtf8(r.outcome.card);
        row["card_amount"] = ToUtf8(r.outcome.card_amount);
        row["index"] = ToUtf8(r.outcome.index_number);
        row["failure"] = ToUtf8(r.outcome.failure);
        row["resolved_time"] = ToUtf8(r.resolved_time);
        out["records"].push_back(std::move(row));
      }
      for (const auto& t : totals) {
        out["totals"].push_back({{"kind", ToUtf8(t.kind)},
                                 {"outcome", ToUtf8(t.outcome)},
                                 {"count", t.count},
                                 {"amount", Cents(t.cents)}});
      }
      *host.out << out.dump() << '\n';
      return 0;
    }
    *host.out << "records of " << ToUtf8(day) << ": " << records.size() << '\n';
    for (const PaymentRecord& r : records) {
      *host.out << "  " << StartLine(r) << ": " << ToUtf8(transaction::OutcomeWord(r));
      if (r.outcome.answered) *host.out << ", return code " << r.outcome.return_code;
      if (!r.outcome.card.empty()) *host.out << ", card " << ToUtf8(r.outcome.card);
      if (!r.outcome.index_number.empty()) *host.out << ", index " << ToUtf8(r.outcome.index_number);
      if (!r.outcome.failure.empty()) *host.out << ", " << ToUtf8(r.outcome.failure);
      if (!r.resolved_time.empty()) *host.out << ", resolved " << ToUtf8(r.resolved_time);
      *host.out << '\n';
    }
    *host.out << "totals:\n";
    if (totals.empty()) *host.out << "  none\n";
    for (const auto& t : totals) {
      *host.out << "  " << ToUtf8(t.kind) << ' ' << ToUtf8(t.outcome) << ": " << t.count
                << " for " << Cents(t.cents) << '\n';
    }
    return 0;
  } catch (const AutomationError& e) {
    return Fail(host, "history", e);
  }
}

}  // namespace kavrolin::cli
