// One reachability probe of the loopback address: the whole member (address
// parsing, socket, one echo and its answer) and the echo service alone on a
// kept socket, both against a raw ICMP echo on a kept socket. Only 127.0.0.1
// is ever probed.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "anchor.h"
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

uint16_t IcmpChecksum(const unsigned char* data, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < size; i += 2) sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
  if (size % 2 != 0) sum += static_cast<uint32_t>(data[size - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return htons(static_cast<uint16_t>(~sum));
}

// The anchor: the same 9-byte echo to 127.0.0.1 with bare socket calls on a
// socket kept open (ICMP datagram socket, else raw), waiting for its reply.
void BM_Anchor_RawEcho(benchmark::State& state) {
  bool raw = false;
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) {
    raw = true;
    fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  }
  if (fd < 0) {
    state.SkipWithError("this process may open no ICMP socket");
    return;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const uint16_t id = static_cast<uint16_t>(::getpid());
  uint16_t sequence = 0;
  int64_t answered = 0;
  unsigned char packet[8 + 9];
  unsigned char reply[1500];
  for (auto _ : state) {
    icmphdr header{};
    header.type = ICMP_ECHO;
    header.un.echo.id = htons(id);
    header.un.echo.sequence = htons(++sequence);
    std::memcpy(packet, &header, sizeof header);
    std::memcpy(packet + 8, "Echo This", 9);
    const uint16_t sum = IcmpChecksum(packet, sizeof packet);
    std::memcpy(packet + 2, &sum, sizeof sum);
    ::sendto(fd, packet, sizeof packet, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    // A raw socket also hears the request itself and other processes' echoes.
    pollfd waiting{fd, POLLIN, 0};
    while (::poll(&waiting, 1, 200) == 1) {
      const ssize_t n = ::recv(fd, reply, sizeof reply, 0);
      const size_t skip = raw && n > 0 ? static_cast<size_t>(reply[0] & 0x0F) * 4 : 0;
      if (n < static_cast<ssize_t>(skip + 8)) continue;
      icmphdr got;
      std::memcpy(&got, reply + skip, sizeof got);
      if (got.type == ICMP_ECHOREPLY && ntohs(got.un.echo.sequence) == sequence &&
          (!raw || ntohs(got.un.echo.id) == id)) {
        ++answered;
        break;
      }
    }
  }
  ::close(fd);
  state.counters["answered"] = benchmark::Counter(static_cast<double>(answered),
                                                  benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Anchor_RawEcho);

const bool kAnchored = kavrolin::bench::DeclareAnchors({
    {"BM_PingLoopback", "BM_Anchor_RawEcho", ""},
    {"BM_EchoOnKeptSocket", "BM_Anchor_RawEcho", ""},
});

}  // namespace
