// PaymentRecords kept in memory, under the same state rules as the stores
// (rules/payment_state.h), for tests of what writes and reads the records.
// Objects made from one Store share its records, as objects of one store on
// disk do. The trace is kept as a list of lines; tracing is on when
// `trace_on` is set.
#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/payment_records.h"
#include "rules/payment_state.h"

namespace kavrolin::testing {

class FakePaymentRecords : public platform::PaymentRecords {
 public:
  struct Store {
    std::mutex mutex;
    std::vector<rules::PaymentRecord> records;
    std::vector<Text> trace;
    bool trace_on = false;
  };

  explicit FakePaymentRecords(std::shared_ptr<Store> store = std::make_shared<Store>())
      : store_(std::move(store)) {}
  const std::shared_ptr<Store>& store() const { return store_; }

  int64_t Start(const rules::PaymentStart& start) override {
    std::lock_guard lock(store_->mutex);
    rules::PaymentRecord record;
    record.id = static_cast<int64_t>(store_->records.size()) + 1;
    record.pid = kPid;
    record.start = start;
    store_->records.push_back(record);
    return record.id;
  }
  void Finish(int64_t id, const rules::PaymentOutcome& outcome) override {
    std::lock_guard lock(store_->mutex);
    if (rules::PaymentRecord* record = Find(id)) rules::TakeOutcome(*record, outcome);
  }
  std::vector<rules::PaymentRecord> Unfinished() override {
    std::lock_guard lock(store_->mutex);
    std::vector<rules::PaymentRecord> started;
    for (const rules::PaymentRecord& r : store_->records) {
      if (r.state == rules::PaymentState::kStarted) started.push_back(r);
    }
    std::reverse(started.begin(), started.end());
    return started;
  }
  rules::ResolveStatus Resolve(int64_t id, TextView finding, TextView time) override {
    rules::CheckFinding(finding);
    std::lock_guard lock(store_->mutex);
    return rules::TakeResolution(Find(id), finding, time);
  }
  std::vector<rules::PaymentRecord> OfDay(TextView day) override {
    std::lock_guard lock(store_->mutex);
    std::vector<rules::PaymentRecord> of_day;
    for (const rules::PaymentRecord& r : store_->records) {
      if (r.start.day == day) of_day.push_back(r);
    }
    return of_day;
  }
  bool TraceOn() override { return store_->trace_on; }
  void Trace(TextView line) override {
    std::lock_guard lock(store_->mutex);
    store_->trace.emplace_back(line);
  }

  // The process id the fake's records carry.
  static constexpr int64_t kPid = 4242;

 private:
  rules::PaymentRecord* Find(int64_t id) {
    if (id < 1 || id > static_cast<int64_t>(store_->records.size())) return nullptr;
    return &store_->records[static_cast<size_t>(id - 1)];
  }

  std::shared_ptr<Store> store_;
};

}  // namespace kavrolin::testing
