// One sale against the terminal simulator, and the pieces it is made of, so
// that what the transaction itself adds can be read off:
//   Sale(sync=0) - SimulatorMenuApp - JournalLine(sync=0).
// Sale(records=1) - Sale(records=0) is what the write-ahead payment record
// adds: one synced "started" record and one unsynced outcome; PaymentRecord
// measures the two alone.
// The anchors do the same work with bare calls: the simulator's MenuApp through
// a kept function pointer, the journal line as one write (+ fdatasync) on a
// kept file, the records as one synced SQLite INSERT and one unsynced UPDATE.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>

#include "anchor.h"
#include "bare_sqlite.h"
#include "bench_prefix.h"
#include "journal/cls_rizhi.h"
#include "platform/posix/clock.h"
#include "platform/posix/file_system.h"
#include "platform/posix/payment_records.h"
#include "platform/posix/terminal_library.h"
#include "transaction/cls_inter_face.h"

namespace {

using kavrolin::bench::BenchPrefix;
namespace posix = kavrolin::platform::posix;

struct SaleSetup {
  SaleSetup() {
    ::setenv("KAVROLIN_TRANS_LIBRARY", KAVROLIN_TRANS_PATH, 1);
    ::setenv("KAVROLIN_SIM_PRINT", "none", 1);
    ::setenv("KAVROLIN_SIM_STATE", (p.root / "sim.state").c_str(), 1);
    services.clock = std::make_shared<posix::PosixClock>();
    services.files = std::make_shared<posix::PosixFileSystem>(p.prefix);
    services.terminal = std::make_shared<posix::PosixTerminalLibrary>();
  }
  BenchPrefix p;
  kavrolin::platform::Services services;
};

void BM_SimulatorMenuApp(benchmark::State& state) {
  SaleSetup setup;
  const char request[] = "05000000001234123             01      A1      ";
  char request_buffer[64];
  char response[8192];
  for (auto _ : state) {
    std::memcpy(request_buffer, request, sizeof request);
    std::memset(response, 0, 64);
    benchmark::DoNotOptimize(setup.services.terminal->MenuApp(request_buffer, response));
  }
}
BENCHMARK(BM_SimulatorMenuApp)->UseRealTime();

void BM_JournalLine(benchmark::State& state) {
  SaleSetup setup;
  kavrolin::journal::cls_Rizhi journal(setup.services, {.sync = state.range(0) != 0});
  for (auto _ : state) {
    benchmark::DoNotOptimize(journal.WriteLog(u"消费成功 卡号：6222000000000009    索引：1"));
  }
}
BENCHMARK(BM_JournalLine)->ArgName("sync")->Arg(0)->Arg(1)->UseRealTime();

void BM_Sale(benchmark::State& state) {
  SaleSetup setup;
  if (state.range(1) != 0) {
    setup.services.records = std::make_shared<posix::PosixPaymentRecords>(setup.p.prefix);
  }
  kavrolin::transaction::clsInterFace object(setup.services, {.sync = state.range(0) != 0});
  for (auto _ : state) benchmark::DoNotOptimize(object.Sale(12.34, 123, u"01", u"A1"));
}
BENCHMARK(BM_Sale)->ArgNames({"sync", "records"})->ArgsProduct({{0, 1}, {0, 1}})->UseRealTime();

void BM_PaymentRecord(benchmark::State& state) {
  SaleSetup setup;
  posix::PosixPaymentRecords records(setup.p.prefix);
  kavrolin::platform::PaymentStart start;
  start.day = u"20240131";
  start.time = u"2024-01-31 14:05:09";
  start.code = u"05";
  start.amount = u"12.34";
  start.cents = 1234;
  start.invoice = u"123";
  start.cashier = u"01";
  start.register_id = u"A1";
  kavrolin::platform::PaymentOutcome outcome;
  outcome.answered = true;
  outcome.return_code = 1;
  outcome.card = u"622200******0009";
  for (auto _ : state) {
    const int64_t id = records.Start(start);
    if (state.range(0) != 0) records.Finish(id, outcome);
  }
}
BENCHMARK(BM_PaymentRecord)->ArgName("finish")->Arg(0)->Arg(1)->UseRealTime();

// The simulator's entry point, opened once.
class BareMenuApp {
 public:
  explicit BareMenuApp(benchmark::State& state) : handle_(::dlopen(KAVROLIN_TRANS_PATH, RTLD_NOW)) {
    if (handle_ != nullptr) entry_ = reinterpret_cast<Entry>(::dlsym(handle_, "MenuApp"));
    if (entry_ == nullptr) state.SkipWithError("cannot load the terminal simulator");
  }
  ~BareMenuApp() {
    if (handle_ != nullptr) ::dlclose(handle_);
  }
  BareMenuApp(const BareMenuApp&) = delete;
  BareMenuApp& operator=(const BareMenuApp&) = delete;
  bool ok() const { return entry_ != nullptr; }

  // One sale request, as the sale sends it.
  short Call() {
    static const char request[] = "05000000001234123             01      A1      ";
    std::memcpy(request_, request, sizeof request);
    std::memset(response_, 0, 64);
    return entry_(request_, response_);
  }

 private:
  using Entry = short (*)(char*, char*);
  void* handle_;
  Entry entry_ = nullptr;
  char request_[64];
  char response_[8192];
};

// A payments table shaped as the records' own, on a connection kept open.
struct BareRecords {
  BareRecords(benchmark::State& state, const BenchPrefix& p)
      : db(state, (p.root / "bare-payments.db").string(),
           "CREATE TABLE payments(id INTEGER PRIMARY KEY, day TEXT, time TEXT, code TEXT, "
           "amount TEXT, cents INTEGER, invoice TEXT, cashier TEXT, register TEXT, pid INTEGER, "
           "state TEXT DEFAULT 'started', return_code INTEGER, card TEXT);"),
        insert(db.Prepare("INSERT INTO payments(day, time, code, amount, cents, invoice, cashier, "
                          "register, pid) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 1)")),
        update(db.Prepare("UPDATE payments SET state=?1, return_code=?2, card=?3 "
                          "WHERE id=last_insert_rowid()")) {}

  // The started record, synced.
  void Start() {
    db.Exec("PRAGMA synchronous=FULL;");
    db.Run(insert, {"20240131", "2024-01-31 14:05:09", "05", "12.34", "1234", "123", "01", "A1"});
  }
  // The outcome of the last record started, unsynced.
  void Finish() {
    db.Exec("PRAGMA synchronous=NORMAL;");
    db.Run(update, {"completed", "1", "622200******0009"});
  }

  kavrolin::bench::BareSqlite db;
  sqlite3_stmt* insert;
  sqlite3_stmt* update;
};

void BM_Anchor_MenuAppDirect(benchmark::State& state) {
  SaleSetup setup;
  BareMenuApp terminal(state);
  if (!terminal.ok()) return;
  for (auto _ : state) benchmark::DoNotOptimize(terminal.Call());
}
BENCHMARK(BM_Anchor_MenuAppDirect)->UseRealTime();

void BM_Anchor_SqliteSyncedInsert(benchmark::State& state) {
  SaleSetup setup;
  BareRecords records(state, setup.p);
  const bool finish = state.range(0) != 0;
  for (auto _ : state) {
    records.Start();
    if (finish) records.Finish();
  }
}
BENCHMARK(BM_Anchor_SqliteSyncedInsert)->ArgName("update")->Arg(0)->Arg(1)->UseRealTime();

// What a sale is made of, with bare calls: the terminal call, the journal
// line, and (records=1) the payment record started and finished.
void BM_Anchor_SaleParts(benchmark::State& state) {
  SaleSetup setup;
  BareMenuApp terminal(state);
  if (!terminal.ok()) return;
  const bool sync = state.range(0) != 0;
  std::optional<BareRecords> records;
  if (state.range(1) != 0) records.emplace(state, setup.p);
  const std::string line = "2024-01-31 14:05:09 \xCF\xFB\xB7\xD1\xB3\xC9\xB9\xA6 ...\r\n";
  const int fd = ::open((setup.p.root / "day.txt").c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    state.SkipWithError("cannot open the day file");
    return;
  }
  for (auto _ : state) {
    if (records) records->Start();
    benchmark::DoNotOptimize(terminal.Call());
    if (records) records->Finish();
    benchmark::DoNotOptimize(::write(fd, line.data(), line.size()));
    if (sync) ::fdatasync(fd);
  }
  ::close(fd);
}
BENCHMARK(BM_Anchor_SaleParts)->ArgNames({"sync", "records"})->ArgsProduct({{0, 1}, {0, 1}})->UseRealTime();

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_Sale/sync:0/records:0/*", "BM_Anchor_SaleParts/sync:0/records:0/real_time",
     "ratio<=1.2,own<=10us"},
    {"BM_Sale/sync:0/records:1/*", "BM_Anchor_SaleParts/sync:0/records:1/real_time", ""},
    {"BM_Sale/sync:1/records:0/*", "BM_Anchor_SaleParts/sync:1/records:0/real_time", ""},
    {"BM_Sale/sync:1/records:1/*", "BM_Anchor_SaleParts/sync:1/records:1/real_time", "ratio<=1.1"},
    {"BM_SimulatorMenuApp", "BM_Anchor_MenuAppDirect/real_time", ""},
    {"BM_JournalLine/sync:0/*", "BM_Anchor_WriteFdatasync/sync:0/real_time", ""},
    {"BM_JournalLine/sync:1/*", "BM_Anchor_WriteFdatasync/sync:1/real_time", ""},
    {"BM_PaymentRecord/finish:0/*", "BM_Anchor_SqliteSyncedInsert/update:0/real_time", ""},
    {"BM_PaymentRecord/finish:1/*", "BM_Anchor_SqliteSyncedInsert/update:1/real_time", ""},
});

}  // namespace
