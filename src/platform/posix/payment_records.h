// PaymentRecords on POSIX: an SQLite database "payments.db" in the prefix
// (beside registry.db and the journal's drive), in WAL mode, and the trace
// file "payments-trace.txt" beside it. Tracing is on while KAVROLIN_TRACE is
// "1", read at each call.
//
// A "started" record is committed with a full sync of the WAL; an outcome is
// committed without one, and reaches the disk with the next sync. So a sale
// costs one durable write beyond the journal's. The connection is opened on
// first use and kept; a mutex serialises the object's users.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/payment_records.h"
#include "platform/posix/prefix.h"
#include "platform/posix/sqlite_db.h"

namespace kavrolin::platform::posix {

class PosixPaymentRecords : public PaymentRecords {
 public:
  explicit PosixPaymentRecords(std::shared_ptr<const Prefix> prefix);
  ~PosixPaymentRecords() override;

  int64_t Start(const PaymentStart& start) override;
  void Finish(int64_t id, const PaymentOutcome& outcome) override;
  std::vector<PaymentRecord> Unfinished() override;
  ResolveStatus Resolve(int64_t id, TextView finding, TextView time) override;
  std::vector<PaymentRecord> OfDay(TextView day) override;
  bool TraceOn() override;
  void Trace(TextView line) override;

  std::filesystem::path database() const;
  std::filesystem::path trace_file() const;

 private:
  SqliteDb& Connection();
  SqliteDb SetUp();  // opens the store and makes its schema
  // Runs `body` on the connection under the mutex; SQLite failures become
  // AutomationError 75 carrying SQLite's message.
  template <typename Body>
  auto Locked(Body&& body);

  std::shared_ptr<const Prefix> prefix_;
  std::mutex mutex_;
  SqliteDb db_;
};

}  // namespace kavrolin::platform::posix
