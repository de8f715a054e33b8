// The journal appends one line per transaction. Its cost must not grow with
// the day file, and must stay close to the bare write + fdatasync it does
// (within 1.2 times).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "anchor.h"
#include "bench_prefix.h"
#include "journal/cls_rizhi.h"
#include "platform/posix/clock.h"
#include "platform/posix/file_system.h"

namespace {

using kavrolin::bench::BenchPrefix;
using kavrolin::journal::cls_Rizhi;

const kavrolin::Text kText = u"消费成功 卡号：6222021234567890    索引：42";
const std::string kLine = "2024-01-31 14:05:09 \xCF\xFB\xB7\xD1\xB3\xC9\xB9\xA6 ...\r\n";

// A day file that already holds `lines` lines.
std::filesystem::path PrefilledDayFile(const BenchPrefix& p, int64_t lines) {
  kavrolin::platform::posix::PosixClock clock;
  const std::filesystem::path file = p.prefix->ToHost(kavrolin::journal::JournalDayFile(clock.Now())).path;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  for (int64_t i = 0; i < lines; ++i) out << kLine;
  return file;
}

kavrolin::platform::Services RealServices(const BenchPrefix& p) {
  kavrolin::platform::Services services;
  services.clock = std::make_shared<kavrolin::platform::posix::PosixClock>();
  services.files = std::make_shared<kavrolin::platform::posix::PosixFileSystem>(p.prefix);
  return services;
}

void BM_JournalAppend(benchmark::State& state) {
  BenchPrefix p;
  PrefilledDayFile(p, state.range(0));
  cls_Rizhi journal(RealServices(p), {.sync = state.range(1) != 0});
  for (auto _ : state) benchmark::DoNotOptimize(journal.WriteLog(kText));
}
BENCHMARK(BM_JournalAppend)
    ->ArgNames({"lines", "sync"})
    ->Args({0, 1})->Args({10000, 1})->Args({100000, 1})
    ->Args({0, 0})->Args({100000, 0})
    ->UseRealTime();

// The anchor: the same bytes with one write (and fdatasync when sync=1) on a
// file kept open for appending.
void BM_Anchor_WriteFdatasync(benchmark::State& state) {
  BenchPrefix p;
  const auto path = PrefilledDayFile(p, 0);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    state.SkipWithError("cannot open the day file");
    return;
  }
  const bool sync = state.range(0) != 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(::write(fd, kLine.data(), kLine.size()));
    if (sync) ::fdatasync(fd);
  }
  ::close(fd);
}
BENCHMARK(BM_Anchor_WriteFdatasync)->ArgName("sync")->Arg(0)->Arg(1)->UseRealTime();

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_JournalAppend/*/sync:1/*", "BM_Anchor_WriteFdatasync/sync:1/real_time", "ratio<=1.2"},
    {"BM_JournalAppend/*/sync:0/*", "BM_Anchor_WriteFdatasync/sync:0/real_time", ""},
});

}  // namespace
