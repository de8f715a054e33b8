// The registry members: each call opens its key, does one thing and closes
// the key, so a read costs a few short read transactions and a write one
// write transaction with a full sync of the WAL.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_prefix.h"
#include "platform/posix/registry.h"
#include "toolkit/registry/registry_reading.h"
#include "toolkit/registry/registry_writing.h"

namespace {

using kavrolin::Text;
using kavrolin::bench::BenchPrefix;
namespace posix = kavrolin::platform::posix;
namespace registry = kavrolin::toolkit::registry;

constexpr int32_t kCurrentUser = static_cast<int32_t>(kavrolin::platform::reg::kCurrentUser);

// 20 keys of 50 values below Software\Shop, as a till's settings might be.
void Seed(posix::PosixRegistry& store) {
  for (int k = 0; k < 20; ++k) {
    for (int v = 0; v < 50; ++v) {
      int32_t root = kCurrentUser;
      Text key = u"Software\\Shop\\Section" + kavrolin::AsciiText(std::to_string(k));
      Text name = u"Value" + kavrolin::AsciiText(std::to_string(v));
      Text value = u"setting " + kavrolin::AsciiText(std::to_string(k * 50 + v));
      registry::SetRegKeyValue(store, root, key, name, value);
    }
  }
}

// Arg 0: a value that exists; 1: a key that does not; 2: writing a value
// that exists.
void BM_RegKeyValueInSeededStore(benchmark::State& state) {
  BenchPrefix p;
  posix::PosixRegistry store(p.prefix);
  Seed(store);
  const bool missing = state.range(0) == 1;
  const bool write = state.range(0) == 2;
  for (auto _ : state) {
    int32_t root = kCurrentUser;
    Text key = missing ? u"Software\\Shop\\Nowhere" : u"software\\shop\\section19";
    Text name = u"value49", value = u"changed";
    if (write) {
      benchmark::DoNotOptimize(registry::SetRegKeyValue(store, root, key, name, value));
    } else {
      benchmark::DoNotOptimize(registry::GetRegKeyValue(store, root, key, name));
    }
  }
}
BENCHMARK(BM_RegKeyValueInSeededStore)->ArgName("get0_missing1_set2")->Arg(0)->Arg(1)->Arg(2);

void BM_SetRegKeyValueNewKeyEachTime(benchmark::State& state) {
  BenchPrefix p;
  posix::PosixRegistry store(p.prefix);
  int n = 0;
  for (auto _ : state) {
    int32_t root = kCurrentUser;
    Text key = u"Software\\Shop\\New" + kavrolin::AsciiText(std::to_string(n++)) + u"\\Level";
    Text name = u"Value", value = u"v";
    benchmark::DoNotOptimize(registry::SetRegKeyValue(store, root, key, name, value));
  }
}
BENCHMARK(BM_SetRegKeyValueNewKeyEachTime);

}  // namespace
