// Every file operation maps its path through the prefix's drives first.
#include <benchmark/benchmark.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "anchor.h"
#include "bench_prefix.h"

namespace {

namespace fs = std::filesystem;
using kavrolin::bench::BenchPrefix;

void MakeDayFile(const BenchPrefix& p) {
  fs::create_directories(p.C("YHLOG"));
  std::ofstream(p.C("YHLOG/20240131.txt")) << "x";
}

// The anchor of a mapping: one stat of the host path the mapping ends at,
// through the drive's link.
void BM_Anchor_StatThroughLink(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  const std::string host = (p.root / "dosdevices/c:/YHLOG/20240131.txt").string();
  struct stat st;
  for (auto _ : state) benchmark::DoNotOptimize(::stat(host.c_str(), &st));
}
BENCHMARK(BM_Anchor_StatThroughLink);

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

// The anchor of the reverse mapping: resolving the host path, which the
// mapping does before it looks for the drive that holds it.
void BM_Anchor_Realpath(benchmark::State& state) {
  BenchPrefix p;
  MakeDayFile(p);
  const std::string host = p.C("YHLOG").string();
  char resolved[PATH_MAX];
  for (auto _ : state) benchmark::DoNotOptimize(::realpath(host.c_str(), resolved));
}
BENCHMARK(BM_Anchor_Realpath);

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_ToHost*", "BM_Anchor_StatThroughLink", "ratio<=3"},
    {"BM_ToWindows", "BM_Anchor_Realpath", "ratio<=2"},
});

}  // namespace
