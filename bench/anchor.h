// Pairs benchmarks with their anchors: the bare operation each is measured
// against in the same run (a write + fdatasync for a journal line, inih for an
// INI read, ...), so that the ratio of the two stays comparable from machine
// to machine while the absolute times do not.
//
// A bench file declares its pairs once, at namespace scope:
//
//   const bool kAnchored = kavrolin::bench::DeclareAnchors({
//       {"BM_JournalAppend/*/sync:1/*", "BM_Anchor_WriteFdatasync/sync:1/real_time", "ratio<=1.2"},
//       {"BM_JournalAppend/*/sync:0/*", "BM_Anchor_WriteFdatasync/sync:0/real_time", ""},
//   });
//
// `benchmarks` is a shell-style pattern (fnmatch) on the run names Google
// Benchmark prints; a pattern also covers the runs below it ("BM_X" covers
// "BM_X/0/real_time"); where several cover a run, the longest pattern wins.
// `anchor` is the exact run name of the anchor, or empty for a benchmark that
// has no honest anchor (scripts/bench_report.py --check fails for a benchmark
// that no declaration covers). `goal` is empty or "ratio<=X": the largest
// ratio of benchmark to anchor the benchmark is meant to keep, optionally with
// ",own<=N" (N in ns, us or ms): the most time it may add to its anchor.
//
// The pairs travel in the benchmark context of the JSON output (keys
// "anchor:<pattern>" and "goal:<pattern>"), where scripts/bench_report.py reads
// them. Call only during static initialisation, before the benchmarks run.
#pragma once

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <string>

namespace kavrolin::bench {

struct Anchor {
  const char* benchmarks;
  const char* anchor;
  const char* goal;
};

inline bool DeclareAnchors(std::initializer_list<Anchor> anchors) {
  for (const Anchor& a : anchors) {
    benchmark::AddCustomContext(std::string("anchor:") + a.benchmarks, a.anchor);
    if (*a.goal != '\0') benchmark::AddCustomContext(std::string("goal:") + a.benchmarks, a.goal);
  }
  return true;
}

}  // namespace kavrolin::bench
