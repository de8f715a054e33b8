// The payment records fake as the contract suites run it, on every platform.
#pragma once

#include <memory>

#include "fakes/fake_payment_records.h"

namespace kavrolin::testing {

struct FakeRecords {
  platform::PaymentRecords& records() { return *records_; }
  // A new object on the same store, as the next process makes it.
  void Reopen() { records_ = std::make_unique<FakePaymentRecords>(records_->store()); }
  int64_t pid() const { return FakePaymentRecords::kPid; }
  std::unique_ptr<FakePaymentRecords> records_ = std::make_unique<FakePaymentRecords>();
};

}  // namespace kavrolin::testing
