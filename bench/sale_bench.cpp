// One sale against the terminal simulator, and the pieces it is made of, so
// that what the transaction itself adds can be read off:
//   Sale(sync=0) - SimulatorMenuApp - JournalLine(sync=0).
// Sale(records=1) - Sale(records=0) is what the write-ahead payment record
// adds: one synced "started" record and one unsynced outcome; PaymentRecord
// measures the two alone.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>

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

}  // namespace
