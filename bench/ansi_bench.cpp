// The ANSI form is taken on every terminal call and every journal line.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <bit>
#include <string>

#include "anchor.h"
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

// The anchors: iconv alone, on a descriptor and an output buffer kept open,
// converting the same text (arg 0: the ASCII record, 1: the Chinese line).
void RunIconv(benchmark::State& state, const char* to, const char* from, const std::string& bytes) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  std::string out(bytes.size() * 4 + 8, '\0');
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t in_left = bytes.size();
    char* dst = out.data();
    size_t out_left = out.size();
    benchmark::DoNotOptimize(iconv(cd, &in, &in_left, &dst, &out_left));
    benchmark::ClobberMemory();
  }
  iconv_close(cd);
}

constexpr const char* kUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string Utf16Bytes(const kavrolin::Text& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

void BM_Anchor_IconvToAnsi(benchmark::State& state) {
  RunIconv(state, "CP936", kUtf16, Utf16Bytes(state.range(0) == 0 ? kAsciiRecord : kChineseLine));
}
BENCHMARK(BM_Anchor_IconvToAnsi)->Arg(0)->Arg(1);

void BM_Anchor_IconvFromAnsi(benchmark::State& state) {
  RunIconv(state, kUtf16, "CP936", AnsiCodec(936).ToAnsi(kChineseLine));
}
BENCHMARK(BM_Anchor_IconvFromAnsi);

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_ToAnsiAsciiRecord", "BM_Anchor_IconvToAnsi/0", ""},
    {"BM_ToAnsiChineseLine", "BM_Anchor_IconvToAnsi/1", ""},
    {"BM_FromAnsiChineseLine", "BM_Anchor_IconvFromAnsi", ""},
});

}  // namespace
