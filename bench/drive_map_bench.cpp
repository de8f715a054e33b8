// Every file operation maps its path through the prefix's drives first.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "bench_prefix.h"

namespace {

namespace fs = std::filesystem;
using kavrolin::bench::BenchPrefix;

void MakeDayFile(const BenchPrefix& p) {
  fs::create_directories(p.C("YHLOG"));
  std::ofstream(p.C("YHLOG/20240131.txt")) << "x";
}

// The floor: one stat of the host path the mapping ends at.
void BM_BareStat(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  const std::string host = p.C("YHLOG/20240131.txt").string();
  struct stat st;
  for (auto _ : state) benchmark::DoNotOptimize(::stat(host.c_str(), &st));
}
BENCHMARK(BM_BareStat);

void BM_ToHostNewFile(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  for (auto _ : state) benchmark::DoNotOptimize(p.prefix->ToHost(u"C:\\YHLOG\\20240201.txt"));
}
BENCHMARK(BM_ToHostNewFile);

void BM_ToHostExactCase(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  for (auto _ : state) benchmark::DoNotOptimize(p.prefix->ToHost(u"C:\\YHLOG\\20240131.txt"));
}
BENCHMARK(BM_ToHostExactCase);

void BM_ToHostOtherCase(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  for (auto _ : state) benchmark::DoNotOptimize(p.prefix->ToHost(u"c:\\yhlog\\20240131.txt"));
}
BENCHMARK(BM_ToHostOtherCase);

void BM_ToWindows(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  const fs::path host = p.C("YHLOG");
  for (auto _ : state) benchmark::DoNotOptimize(p.prefix->ToWindows(host));
}
BENCHMARK(BM_ToWindows);

}  // namespace
