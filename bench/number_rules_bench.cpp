// The number rules run on every amount field of every transaction.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "anchor.h"
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

// The anchors: the C library doing the nearest job on the same input.
void BM_Anchor_Strtod(benchmark::State& state) {
  const char* field = "000000001234";
  for (auto _ : state) benchmark::DoNotOptimize(std::strtod(field, nullptr));
}
BENCHMARK(BM_Anchor_Strtod);

void BM_Anchor_Snprintf(benchmark::State& state) {
  const double value = state.range(0) == 0 ? 1234.5 : 0.1 + 0.2;
  char buffer[32];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.15g", value));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Anchor_Snprintf)->Arg(0)->Arg(1);

void BM_Anchor_Strftime(benchmark::State& state) {
  std::tm now{};
  now.tm_year = 2024 - 1900;
  now.tm_mon = 0;
  now.tm_mday = 31;
  now.tm_hour = 14;
  now.tm_min = 5;
  now.tm_sec = 9;
  char buffer[32];
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &now));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Anchor_Strftime);

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_LeadingNumberAmountField", "BM_Anchor_Strtod", ""},
    {"BM_NumberText/0", "BM_Anchor_Snprintf/0", ""},
    {"BM_NumberText/1", "BM_Anchor_Snprintf/1", ""},
    {"BM_FormatDateMask", "BM_Anchor_Strftime", ""},
});

}  // namespace
