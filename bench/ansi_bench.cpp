// The ANSI form is taken on every terminal call and every journal line.
#include <benchmark/benchmark.h>

#include "base/ansi.h"

namespace {

using kavrolin::AnsiCodec;

const kavrolin::Text kAsciiRecord = u"0500000000123412345           01      A1      ";
const kavrolin::Text kChineseLine = u"2024-01-31 12:00:00 消费成功 卡号 6222021234567890123 金额 12.34";

void BM_ToAnsiAsciiRecord(benchmark::State& state) {
  const AnsiCodec codec(936);
  for (auto _ : state) benchmark::DoNotOptimize(codec.ToAnsi(kAsciiRecord));
}
BENCHMARK(BM_ToAnsiAsciiRecord);

void BM_ToAnsiChineseLine(benchmark::State& state) {
  const AnsiCodec codec(936);
  for (auto _ : state) benchmark::DoNotOptimize(codec.ToAnsi(kChineseLine));
}
BENCHMARK(BM_ToAnsiChineseLine);

void BM_FromAnsiChineseLine(benchmark::State& state) {
  const AnsiCodec codec(936);
  const std::string bytes = codec.ToAnsi(kChineseLine);
  for (auto _ : state) benchmark::DoNotOptimize(codec.FromAnsi(bytes));
}
BENCHMARK(BM_FromAnsiChineseLine);

}  // namespace
