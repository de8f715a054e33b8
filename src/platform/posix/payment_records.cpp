#include "platform/posix/payment_records.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>

#include "base/automation_error.h"
#include "rules/payment_state.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr int kBusyTimeoutMs = 10000;
constexpr int64_t kSchemaVersion = 1;  // the user_version kSchema sets

constexpr char kSchema[] = R"(
CREATE TABLE IF NOT EXISTS payments(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  day TEXT NOT NULL,
  time TEXT NOT NULL,
  code TEXT NOT NULL,
  amount TEXT NOT NULL,
  cents INTEGER NOT NULL,
  invoice TEXT NOT NULL,
  cashier TEXT NOT NULL,
  register TEXT NOT NULL,
  pid INTEGER NOT NULL,
  state TEXT NOT NULL DEFAULT 'started',
  answered INTEGER NOT NULL DEFAULT 0,
  return_code INTEGER NOT NULL DEFAULT 0,
  card TEXT NOT NULL DEFAULT '',
  card_amount TEXT NOT NULL DEFAULT '',
  index_number TEXT NOT NULL DEFAULT '',
  failure TEXT NOT NULL DEFAULT '',
  finding TEXT NOT NULL DEFAULT '',
  resolved_time TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS payments_by_state ON payments(state);
CREATE INDEX IF NOT EXISTS payments_by_day ON payments(day);
PRAGMA user_version=1;
)";

constexpr char kColumns[] =
    "SELECT id, pid, state, day, time, code, amount, cents, invoice, cashier, register, answered, "
    "return_code, card, card_amount, index_number, failure, finding, resolved_time FROM payments ";

PaymentRecord RecordOf(const SqliteStatement& row) {
  PaymentRecord r;
  r.id = row.Int(0);
  r.pid = row.Int(1);
  r.state = rules::StateNamed(row.Text(2));
  r.start.day = FromUtf8(row.Text(3));
  r.start.time = FromUtf8(row.Text(4));
  r.start.code = FromUtf8(row.Text(5));
  r.start.amount = FromUtf8(row.Text(6));
  r.start.cents = row.Int(7);
  r.start.invoice = FromUtf8(row.Text(8));
  r.start.cashier = FromUtf8(row.Text(9));
  r.start.register_id = FromUtf8(row.Text(10));
  r.outcome.answered = row.Int(11) != 0;
  r.outcome.return_code = static_cast<int32_t>(row.Int(12));
  r.outcome.card = FromUtf8(row.Text(13));
  r.outcome.card_amount = FromUtf8(row.Text(14));
  r.outcome.index_number = FromUtf8(row.Text(15));
  r.outcome.failure = FromUtf8(row.Text(16));
  r.finding = FromUtf8(row.Text(17));
  r.resolved_time = FromUtf8(row.Text(18));
  return r;
}

std::vector<PaymentRecord> Rows(SqliteStatement& query) {
  std::vector<PaymentRecord> rows;
  while (query.Step()) rows.push_back(RecordOf(query));
  return rows;
}

// What the state rules read of record `id`: its state and whether it holds
// an outcome. Only those columns: Finish runs once per sale.
std::optional<PaymentRecord> StateOfRecord(SqliteDb& db, int64_t id) {
  KeptStatement query = db.Kept("SELECT state, answered, failure FROM payments WHERE id=?");
  query->Bind(1, id);
  if (!query->Step()) return std::nullopt;
  PaymentRecord r;
  r.id = id;
  r.state = rules::StateNamed(query->Text(0));
  r.outcome.answered = query->Int(1) != 0;
  r.outcome.failure = FromUtf8(query->Text(2));
  return r;
}

}  // namespace

PosixPaymentRecords::PosixPaymentRecords(std::shared_ptr<const Prefix> prefix)
    : prefix_(std::move(prefix)) {}

PosixPaymentRecords::~PosixPaymentRecords() = default;

fs::path PosixPaymentRecords::database() const { return prefix_->root() / "payments.db"; }

fs::path PosixPaymentRecords::trace_file() const { return prefix_->root() / "payments-trace.txt"; }

SqliteDb& PosixPaymentRecords::Connection() {
  if (db_) return db_;
  prefix_->EnsureLayout();
  db_ = SqliteDb::SetUpWhileBusy([this] { return SetUp(); });
  return db_;
}

SqliteDb PosixPaymentRecords::SetUp() {
  SqliteDb db = SqliteDb::OpenPrivate(database().string(), kBusyTimeoutMs);
  // A sale writes six pages (the row, the sequence, two index entries, then
  // the outcome's row and index entry), and the next synced start flushes
  // them all: small pages keep that flush near the size of the rows. A
  // database made before keeps the page size it was made with.
  db.Exec("PRAGMA page_size=1024; PRAGMA journal_mode=WAL;");
  // A sale made by a short-lived process would otherwise pay for a new WAL
  // (its header and folder synced) when it opens and a checkpoint when it
  // closes: more than the one durable write a record may cost.
  db.PersistWal();
  db.SkipCheckpointOnClose();
  // The read is finished before the write transaction starts: a connection
  // that upgrades an open read to a write gets "busy" at once, without waiting,
  // when another process made the schema in between.
  int64_t version = 0;
  {
    SqliteStatement read(db, "PRAGMA user_version");
    if (read.Step()) version = read.Int(0);
  }
  if (version < kSchemaVersion) {
    SqliteTransaction schema(db, true);
    db.Exec(kSchema);
    schema.Commit();
  }
  return db;
}

template <typename Body>
auto PosixPaymentRecords::Locked(Body&& body) {
  std::lock_guard lock(mutex_);
  try {
    return body(Connection());
  } catch (const SqliteError& e) {
    throw AutomationError(static_cast<int32_t>(ErrorNumber::kPathFileAccess),
                          u"Path/File access error: payments.db: " + FromUtf8(e.what()));
  }
}

int64_t PosixPaymentRecords::Start(const PaymentStart& start) {
  return Locked([&](SqliteDb& db) {
    // The started record is what a crash leaves behind, so it is synced.
    db.Kept("PRAGMA synchronous=FULL")->Run();
    KeptStatement insert = db.Kept(
        "INSERT INTO payments(day, time, code, amount, cents, invoice, cashier, register, pid) "
        "VALUES(?,?,?,?,?,?,?,?,?)");
    insert->BindText(1, ToUtf8(start.day))
        .BindText(2, ToUtf8(start.time))
        .BindText(3, ToUtf8(start.code))
        .BindText(4, ToUtf8(start.amount))
        .Bind(5, start.cents)
        .BindText(6, ToUtf8(start.invoice))
        .BindText(7, ToUtf8(start.cashier))
        .BindText(8, ToUtf8(start.register_id))
        .Bind(9, static_cast<int64_t>(::getpid()));
    insert->Run();
    return db.last_insert_rowid();
  });
}

void PosixPaymentRecords::Finish(int64_t id, const PaymentOutcome& outcome) {
  Locked([&](SqliteDb& db) {
    // Unsynced: losing it to a power cut leaves the record "started", which
    // asks for a check rather than hiding a payment.
    db.Kept("PRAGMA synchronous=NORMAL")->Run();
    // Read, decide and write in one transaction: the record's rules are
    // applied to what is stored, not to what this process last saw.
    SqliteTransaction transaction(db, true);
    std::optional<PaymentRecord> record = StateOfRecord(db, id);
    if (!record || !rules::TakeOutcome(*record, outcome)) return;
    KeptStatement update = db.Kept(
        "UPDATE payments SET state=?1, answered=?2, return_code=?3, card=?4, card_amount=?5, "
        "index_number=?6, failure=?7 WHERE id=?8");
    update->BindText(1, rules::StateName(record->state))
        .Bind(2, record->outcome.answered ? 1 : 0)
        .Bind(3, record->outcome.return_code)
        .BindText(4, ToUtf8(record->outcome.card))
        .BindText(5, ToUtf8(record->outcome.card_amount))
        .BindText(6, ToUtf8(record->outcome.index_number))
        .BindText(7, ToUtf8(record->outcome.failure))
        .Bind(8, id);
    update->Run();
    transaction.Commit();
  });
}

std::vector<PaymentRecord> PosixPaymentRecords::Unfinished() {
  return Locked([&](SqliteDb& db) {
    SqliteStatement query(db, std::string(kColumns) + "WHERE state='started' ORDER BY id DESC");
    return Rows(query);
  });
}

ResolveStatus PosixPaymentRecords::Resolve(int64_t id, TextView finding, TextView time) {
  rules::CheckFinding(finding);
  return Locked([&](SqliteDb& db) {
    db.Exec("PRAGMA synchronous=FULL;");
    // Read, decide and write in one transaction: two operators cannot both
    // resolve one record.
    SqliteTransaction transaction(db, true);
    std::optional<PaymentRecord> record = StateOfRecord(db, id);
    const ResolveStatus status = rules::TakeResolution(record ? &*record : nullptr, finding, time);
    if (status != ResolveStatus::kResolved) return status;
    SqliteStatement update(db, "UPDATE payments SET state=?, finding=?, resolved_time=? WHERE id=?");
    update.BindText(1, rules::StateName(record->state))
        .BindText(2, ToUtf8(record->finding))
        .BindText(3, ToUtf8(record->resolved_time))
        .Bind(4, id);
    update.Run();
    transaction.Commit();
    return status;
  });
}

std::vector<PaymentRecord> PosixPaymentRecords::OfDay(TextView day) {
  return Locked([&](SqliteDb& db) {
    SqliteStatement query(db, std::string(kColumns) + "WHERE day=? ORDER BY id");
    query.BindText(1, ToUtf8(day));
    return Rows(query);
  });
}

bool PosixPaymentRecords::TraceOn() {
  const char* value = std::getenv("KAVROLIN_TRACE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

void PosixPaymentRecords::Trace(TextView line) {
  try {
    prefix_->EnsureLayout();
    const std::string bytes = ToUtf8(line) + "\n";
    const UniqueFd fd = OpenFd(trace_file().c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    // One write under the lock: lines of several processes never interleave.
    if (fd.valid() && LockExclusive(fd.get())) WriteAll(fd.get(), bytes);
  } catch (...) {
    // The trace is for support; it never costs a payment.
  }
}

}  // namespace kavrolin::platform::posix
