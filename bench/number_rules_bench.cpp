// The number rules run on every amount field of every transaction.
#include <benchmark/benchmark.h>

#include "base/date_mask.h"
#include "base/number_rules.h"

namespace {

void BM_LeadingNumberAmountField(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(kavrolin::LeadingNumber(u"000000001234"));
}
BENCHMARK(BM_LeadingNumberAmountField);

void BM_NumberText(benchmark::State& state) {
  const double value = state.range(0) == 0 ? 1234.5 : 0.1 + 0.2;
  for (auto _ : state) benchmark::DoNotOptimize(kavrolin::NumberText(value));
}
BENCHMARK(BM_NumberText)->Arg(0)->Arg(1);

void BM_FormatDateMask(benchmark::State& state) {
  const kavrolin::LocalTime now{2024, 1, 31, 14, 5, 9, 0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(kavrolin::FormatDateMask(now, u"yyyy-MM-dd HH:mm:ss"));
  }
}
BENCHMARK(BM_FormatDateMask);

}  // namespace
