// The registry members: each call resolves its key path and reads or writes
// the value on statements the connection keeps prepared. A read of a path of
// up to eight levels is one statement (the walk and the value joined), a
// write one write transaction with a full sync of the WAL. The anchors are the same work on
// one flat table: an indexed SELECT, and a synced INSERT OR REPLACE. A read
// of a present value is meant to stay within 3 times its SELECT, a write that
// makes its key within 1.5 times its synced INSERT.
#include <benchmark/benchmark.h>

#include <string>

#include "anchor.h"
#include "bare_sqlite.h"
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
BENCHMARK(BM_RegKeyValueInSeededStore)
    ->ArgName("get0_missing1_set2")
    ->Arg(0)->Arg(1)->Arg(2)
    ->UseRealTime();

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
BENCHMARK(BM_SetRegKeyValueNewKeyEachTime)->UseRealTime();

// Values in one table keyed by the full key path and the value name, on a
// connection kept open; synchronous=FULL as the registry's. Seeded with the
// same 1,000 values as Seed, each its own synced transaction as there: how far
// the WAL has grown decides whether a later sync must also write the file's
// size, which costs a multiple of the sync itself.
struct BareValues {
  BareValues(benchmark::State& state, const BenchPrefix& p, bool seeded)
      : db(state, (p.root / "bare.db").string(),
           "PRAGMA synchronous=FULL;"
           "CREATE TABLE vals(path TEXT, name TEXT, data TEXT, PRIMARY KEY(path, name));"),
        write(db.Prepare("INSERT OR REPLACE INTO vals VALUES(?1, ?2, ?3)")) {
    for (int k = 0; seeded && k < 20; ++k) {
      for (int v = 0; v < 50; ++v) {
        db.Run(write, {"software\\shop\\section" + std::to_string(k), "value" + std::to_string(v),
                       "setting " + std::to_string(k * 50 + v)});
      }
    }
  }
  kavrolin::bench::BareSqlite db;
  sqlite3_stmt* write;
};

// Arg 0: a value that exists; 1: a key that does not.
void BM_Anchor_SqliteSelect(benchmark::State& state) {
  BenchPrefix p;
  BareValues values(state, p, true);
  sqlite3_stmt* read = values.db.Prepare("SELECT data FROM vals WHERE path=?1 AND name=?2");
  const std::string path = state.range(0) == 1 ? "software\\shop\\nowhere" : "software\\shop\\section19";
  for (auto _ : state) benchmark::DoNotOptimize(values.db.Run(read, {path, "value49"}));
}
BENCHMARK(BM_Anchor_SqliteSelect)->ArgName("missing")->Arg(0)->Arg(1)->UseRealTime();

// Arg 0: replacing a value that exists in the seeded table; 1: a new key path
// each time in an empty one, as BM_SetRegKeyValueNewKeyEachTime starts empty.
void BM_Anchor_SqliteSyncedWrite(benchmark::State& state) {
  BenchPrefix p;
  const bool fresh = state.range(0) == 1;
  BareValues values(state, p, !fresh);
  int n = 0;
  for (auto _ : state) {
    const std::string path = fresh ? "software\\shop\\new" + std::to_string(n++) + "\\level"
                                   : "software\\shop\\section19";
    benchmark::DoNotOptimize(values.db.Run(values.write, {path, "value49", "changed"}));
  }
}
BENCHMARK(BM_Anchor_SqliteSyncedWrite)->ArgName("new_key")->Arg(0)->Arg(1)->UseRealTime();

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_RegKeyValueInSeededStore/get0_missing1_set2:0", "BM_Anchor_SqliteSelect/missing:0/real_time", "ratio<=3"},
    {"BM_RegKeyValueInSeededStore/get0_missing1_set2:1", "BM_Anchor_SqliteSelect/missing:1/real_time", ""},
    {"BM_RegKeyValueInSeededStore/get0_missing1_set2:2", "BM_Anchor_SqliteSyncedWrite/new_key:0/real_time", ""},
    {"BM_SetRegKeyValueNewKeyEachTime", "BM_Anchor_SqliteSyncedWrite/new_key:1/real_time", "ratio<=1.5"},
});

}  // namespace
