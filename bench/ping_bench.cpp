// One reachability probe of the loopback address: the whole member (address
// parsing, socket, one echo and its answer) against the echo alone on a kept
// socket. Only 127.0.0.1 is ever probed.
#include <benchmark/benchmark.h>

#include "platform/posix/echo.h"
#include "toolkit/probe/ping.h"

namespace {

using kavrolin::Text;
using kavrolin::platform::EchoReply;
using kavrolin::platform::posix::PosixEcho;

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1

void BM_PingLoopback(benchmark::State& state) {
  PosixEcho echo;
  if (!echo.IcmpCreateFile()) {
    state.SkipWithError("this process may open no ICMP socket");
    return;
  }
  Text t_IP = u"127.0.0.1";
  int64_t answered = 0;
  for (auto _ : state) answered += kavrolin::toolkit::probe::Ping(echo, t_IP) ? 1 : 0;
  state.counters["answered"] = benchmark::Counter(static_cast<double>(answered),
                                                  benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PingLoopback);

void BM_EchoOnKeptSocket(benchmark::State& state) {
  PosixEcho echo;
  auto handle = echo.IcmpCreateFile();
  if (!handle) {
    state.SkipWithError("this process may open no ICMP socket");
    return;
  }
  for (auto _ : state) {
    EchoReply reply{};
    benchmark::DoNotOptimize(echo.IcmpSendEcho(handle.get(), kLoopback, "Echo This", reply, 200));
  }
}
BENCHMARK(BM_EchoOnKeptSocket);

}  // namespace
