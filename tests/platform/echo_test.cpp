#include "platform/posix/echo.h"

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

namespace kavrolin::platform::posix {
namespace {

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1
constexpr std::string_view kPayload = "Echo This";

// The address value of a.b.c.d: a in the lowest byte.
constexpr uint32_t Address(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  return a | b << 8 | c << 16 | d << 24;
}

std::string DataOf(const EchoReply& reply) {
  return std::string(reply.data.begin(), reply.data.begin() + reply.data_size);
}

// What one probe gave: the count, the reply, and whether a handle was had.
struct Probe {
  bool had_handle = false;
  uint32_t answers = 0;
  EchoReply reply;
};

Probe Send(PosixEcho& echo, uint32_t destination, std::string_view data, EchoReply reply = {}) {
  Probe probe;
  auto handle = echo.IcmpCreateFile();
  probe.had_handle = handle != nullptr;
  probe.answers = echo.IcmpSendEcho(handle.get(), destination, data, reply, 200);
  probe.reply = reply;
  return probe;
}

// The real probes need an ICMP socket of either kind.
bool CanProbe(PosixEcho& echo) { return echo.IcmpCreateFile() != nullptr; }

TEST(EchoTest, LoopbackAddressesAnswer) {
  PosixEcho echo;
  if (!CanProbe(echo)) GTEST_SKIP() << "this process may open no ICMP socket";
  const struct {
    const char* label;
    uint32_t destination;
  } rows[] = {
      {"lowest usable loopback", Address(127, 0, 0, 1)},
      {"another loopback address", Address(127, 1, 2, 3)},
      {"highest usable loopback", Address(127, 255, 255, 254)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Probe probe = Send(echo, row.destination, kPayload);
    EXPECT_EQ(probe.answers, 1u);
    EXPECT_EQ(probe.reply.status, kIpSuccess);
    EXPECT_EQ(probe.reply.address, row.destination);
    EXPECT_EQ(DataOf(probe.reply), kPayload);
  }
}

TEST(EchoTest, DataSizesUpToTheReplyRoom) {
  PosixEcho echo;
  if (!CanProbe(echo)) GTEST_SKIP() << "this process may open no ICMP socket";
  const struct {
    const char* label;
    size_t size;
    uint32_t answers;
    uint32_t status;
  } rows[] = {
      {"no data", 0, 1, kIpSuccess},
      {"one byte", 1, 1, kIpSuccess},
      {"250 bytes fill the reply", 250, 1, kIpSuccess},
      {"251 bytes are refused", 251, 0, kIpBufTooSmall},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::string data(row.size, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    EchoReply before;
    before.address = 0xABCDEF01;
    const Probe probe = Send(echo, kLoopback, data, before);
    EXPECT_EQ(probe.answers, row.answers);
    EXPECT_EQ(probe.reply.status, row.status);
    if (row.answers == 1) {
      EXPECT_EQ(DataOf(probe.reply), data);
    } else {
      EXPECT_EQ(probe.reply.address, 0xABCDEF01u);
      EXPECT_EQ(probe.reply.data_size, 0u);
    }
  }
}

TEST(EchoTest, OneHandleAnswersEachOfItsRequests) {
  PosixEcho echo;
  if (!CanProbe(echo)) GTEST_SKIP() << "this process may open no ICMP socket";
  auto first = echo.IcmpCreateFile();
  auto second = echo.IcmpCreateFile();
  ASSERT_TRUE(first && second);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EchoReply a, b;
    EXPECT_EQ(echo.IcmpSendEcho(first.get(), kLoopback, kPayload, a, 200), 1u);
    EXPECT_EQ(echo.IcmpSendEcho(second.get(), kLoopback, "other", b, 200), 1u);
    EXPECT_EQ(DataOf(a), kPayload);
    EXPECT_EQ(DataOf(b), "other");
  }
}

TEST(EchoTest, HandlesItDidNotGiveOutSendNothing) {
  class ForeignHandle : public EchoHandle {};
  ForeignHandle foreign;
  PosixEcho echo;
  const struct {
    const char* label;
    EchoHandle* handle;
  } rows[] = {
      {"no handle", nullptr},
      {"another service's handle", &foreign},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EchoReply reply;
    reply.address = 0x11223344;
    reply.status = 77;
    EXPECT_EQ(echo.IcmpSendEcho(row.handle, kLoopback, kPayload, reply, 200), 0u);
    EXPECT_EQ(reply.address, 0x11223344u);
    EXPECT_EQ(reply.status, 77u);
  }
}

// --- Probes inside a network namespace of the test's own, made in a child
// process so the test process keeps its own network.

struct NamespaceSetup {
  bool loopback_up = true;
  std::optional<std::string> ignore_echo;        // net.ipv4.icmp_echo_ignore_all
  std::optional<std::string> ping_group_range;   // net.ipv4.ping_group_range
};

constexpr int kNoNamespace = 77;
// A group range that lets every process open an ICMP datagram socket.
constexpr const char* kEveryGroup = "0 2147483647";

bool WriteSysctl(const char* path, const std::string& value) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = ::write(fd, value.data(), value.size()) == static_cast<ssize_t>(value.size());
  ::close(fd);
  return written;
}

bool LoopbackUp() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq request{};
  std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  bool up = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
  request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
  up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
  ::close(fd);
  return up;
}

// Runs the probe in a new network namespace; nullopt when none can be made.
std::optional<Probe> InNamespace(const NamespaceSetup& setup, PosixEcho::Sockets sockets,
                                 uint32_t destination) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe_fds[0]);
    // A process without the privilege may still own a user namespace, and a
    // network namespace inside it.
    if (::unshare(CLONE_NEWNET) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
      ::_exit(kNoNamespace);
    }
    if (setup.loopback_up && !LoopbackUp()) ::_exit(kNoNamespace);
    if (setup.ignore_echo &&
        !WriteSysctl("/proc/sys/net/ipv4/icmp_echo_ignore_all", *setup.ignore_echo)) {
      ::_exit(kNoNamespace);
    }
    if (setup.ping_group_range &&
        !WriteSysctl("/proc/sys/net/ipv4/ping_group_range", *setup.ping_group_range)) {
      ::_exit(kNoNamespace);
    }
    PosixEcho echo(sockets);
    const Probe probe = Send(echo, destination, kPayload);
    const bool sent = ::write(pipe_fds[1], &probe, sizeof probe) == sizeof probe;
    ::_exit(sent ? 0 : 1);
  }
  ::close(pipe_fds[1]);
  Probe probe;
  const ssize_t got = child > 0 ? ::read(pipe_fds[0], &probe, sizeof probe) : -1;
  ::close(pipe_fds[0]);
  int status = 0;
  if (child > 0) ::waitpid(child, &status, 0);
  if (child < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace)) return std::nullopt;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(got, static_cast<ssize_t>(sizeof probe));
  return probe;
}

TEST(EchoInNamespaceTest, WhatComesBackOrWhyNot) {
  using Sockets = PosixEcho::Sockets;
  const struct {
    const char* label;
    NamespaceSetup setup;
    Sockets sockets;
    uint32_t destination;
    bool had_handle;
    uint32_t answers;
    uint32_t status;
  } rows[] = {
      // Boundaries: the address 0 and a loopback that is down.
      {"address 0 is refused, nothing answers", {}, Sockets::kDatagramThenRaw, 0, true, 0,
       kIpBadDestination},
      {"loopback down", {false, std::nullopt, std::nullopt}, Sockets::kRawOnly, kLoopback, true, 0,
       kIpDestNetUnreachable},
      {"loopback down, datagram socket", {false, std::nullopt, kEveryGroup}, Sockets::kDatagramOnly,
       kLoopback, true, 0, kIpDestNetUnreachable},
      // The two kinds of socket.
      {"raw socket", {}, Sockets::kRawOnly, kLoopback, true, 1, kIpSuccess},
      {"datagram socket the group range allows", {true, std::nullopt, kEveryGroup},
       Sockets::kDatagramOnly, kLoopback, true, 1, kIpSuccess},
      {"datagram socket the group range refuses", {true, std::nullopt, "1 0"},
       Sockets::kDatagramOnly, kLoopback, false, 0, kIpSuccess},
      {"refused datagram socket falls back to raw", {true, std::nullopt, "1 0"},
       Sockets::kDatagramThenRaw, kLoopback, true, 1, kIpSuccess},
      // No answer within the time-out.
      {"echo ignored, raw socket", {true, "1", std::nullopt}, Sockets::kRawOnly, kLoopback, true,
       0, kIpReqTimedOut},
      {"echo ignored, datagram socket", {true, "1", kEveryGroup}, Sockets::kDatagramOnly, kLoopback,
       true, 0, kIpReqTimedOut},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const auto probe = InNamespace(row.setup, row.sockets, row.destination);
    if (!probe) GTEST_SKIP() << "network namespaces cannot be made here";
    EXPECT_EQ(probe->had_handle, row.had_handle);
    EXPECT_EQ(probe->answers, row.answers);
    EXPECT_EQ(probe->reply.status, row.status);
    if (row.answers == 1) {
      EXPECT_EQ(probe->reply.address, row.destination);
      EXPECT_EQ(DataOf(probe->reply), kPayload);
    } else {
      EXPECT_EQ(probe->reply.address, 0u);
    }
  }
}

}  // namespace
}  // namespace kavrolin::platform::posix
