// The scrambling members on 1 MB inputs: StringEnCrypt and EncodeString on a
// text of 1 MiB in the ANSI form, EncodeFile on a 1 MiB file. The anchors are
// a bare copy + xor loop over 1 MiB, and a bare read + xor + write + fsync +
// rename of the file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "base/basic_random.h"
#include "anchor.h"
#include "bench_prefix.h"
#include "platform/common/file_slots.h"
#include "platform/message_box.h"
#include "platform/posix/file_system.h"
#include "toolkit/scramble/encode_file.h"
#include "toolkit/scramble/encode_string.h"
#include "toolkit/scramble/string_encrypt.h"

namespace kavrolin {
namespace {

constexpr size_t kMiB = 1 << 20;

class SilentMessageBox : public platform::MessageBox {
 public:
  void Show(TextView, TextView) override {}
};

// 1 MiB in the ANSI form: ASCII, or Chinese (two bytes a character).
Text Source(bool chinese) {
  Text text;
  if (chinese) {
    const Text pool = u"消费成功卡号索引金额撤销退货查询";
    for (size_t i = 0; i < kMiB / 2; ++i) text += pool[i % pool.size()];
  } else {
    for (size_t i = 0; i < kMiB; ++i) text += static_cast<char16_t>(32 + (i * 7) % 95);
  }
  return text;
}

void BM_StringEnCrypt(benchmark::State& state) {
  const Text source = Source(state.range(0) != 0);
  SilentMessageBox box;
  BasicRandom generator;
  Text target;
  for (auto _ : state) {
    int32_t ma = 12345;
    benchmark::DoNotOptimize(toolkit::scramble::StringEnCrypt(box, generator, source, ma, target));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
  state.SetLabel(state.range(0) ? "chinese" : "ascii");
}
BENCHMARK(BM_StringEnCrypt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EncodeString(benchmark::State& state) {
  const Text source = Source(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(toolkit::scramble::EncodeString(source, 7));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
  state.SetLabel(state.range(0) ? "chinese" : "ascii");
}
BENCHMARK(BM_EncodeString)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_EncodeFile(benchmark::State& state) {
  bench::BenchPrefix prefix;
  platform::posix::PosixFileSystem files(prefix.prefix);
  {
    std::string bytes(kMiB, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131) % 251);
    std::ofstream(prefix.C("in.bin"), std::ios::binary) << bytes;
  }
  platform::FileSlots slots;
  for (auto _ : state) {
    if (!toolkit::scramble::EncodeFile(files, slots, u"C:\\in.bin", u"C:\\out.bin", 7)) {
      state.SkipWithError("EncodeFile failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_EncodeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Anchor_CopyXor(benchmark::State& state) {
  const std::string source(kMiB, 'a');
  std::string target(kMiB, '\0');
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kMiB);
    for (char& byte : target) byte ^= 7;
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_Anchor_CopyXor)->Unit(benchmark::kMillisecond);

void BM_Anchor_ReadXorWriteFsyncRename(benchmark::State& state) {
  bench::BenchPrefix prefix;
  const std::string in = prefix.C("in.bin").string();
  const std::string out = prefix.C("out.bin").string();
  const std::string temp = out + ".new";
  std::ofstream(in, std::ios::binary) << std::string(kMiB, 'a');
  std::string block(kMiB, '\0');
  for (auto _ : state) {
    const int from = ::open(in.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = ::read(from, block.data(), block.size());
    ::close(from);
    for (char& byte : block) byte ^= 7;
    const int to = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    benchmark::DoNotOptimize(::write(to, block.data(), got > 0 ? static_cast<size_t>(got) : 0));
    ::fsync(to);
    ::close(to);
    ::rename(temp.c_str(), out.c_str());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMiB));
}
BENCHMARK(BM_Anchor_ReadXorWriteFsyncRename)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool kAnchored = bench::DeclareAnchors({
    {"BM_StringEnCrypt", "BM_Anchor_CopyXor", "ratio<=5"},
    {"BM_EncodeString", "BM_Anchor_CopyXor", ""},
    {"BM_EncodeFile", "BM_Anchor_ReadXorWriteFsyncRename/real_time", ""},
});

}  // namespace
}  // namespace kavrolin
