#include "toolkit/probe/ping.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_echo.h"
#include "platform/posix/echo.h"
#include "support/error_of.h"

namespace kavrolin::toolkit::probe {
namespace {

using kavrolin::testing::ErrorOf;
using kavrolin::testing::FakeEcho;
using Calls = std::vector<std::string>;

const Calls kProbe = {"StartSocketLayer", "IcmpCreateFile", "IcmpSendEcho", "IcmpCloseHandle",
                      "StopSocketLayer"};

platform::EchoReply Reply(uint32_t status, uint32_t address) {
  platform::EchoReply reply;
  reply.status = status;
  reply.address = address;
  return reply;
}

TEST(PingTest, OneRequestWithThePayloadAndTimeOut) {
  FakeEcho echo;
  echo.answer = Reply(0, 0x0100007F);
  Text t_IP = u"10.1.2.3";
  EXPECT_TRUE(Ping(echo, t_IP));
  EXPECT_EQ(t_IP, u"10.1.2.3");
  EXPECT_EQ(echo.calls, kProbe);
  EXPECT_EQ(echo.version, 0x0101);
  EXPECT_FALSE(echo.handle_was_null);
  EXPECT_TRUE(echo.handle_was_open);
  EXPECT_EQ(echo.destination, 0x0302010Au);
  EXPECT_EQ(echo.request_data, "Echo This");
  EXPECT_EQ(echo.request_data.size(), 9u);
  EXPECT_EQ(echo.timeout_ms, 200u);
  // The reply starts zeroed.
  EXPECT_EQ(echo.reply_given.status, 0u);
  EXPECT_EQ(echo.reply_given.address, 0u);
  EXPECT_EQ(echo.open_handles, 0);
}

TEST(PingTest, TrueOnlyForStatusZeroFromANonZeroAddress) {
  const struct {
    const char* label;
    uint32_t answers;
    std::optional<platform::EchoReply> answer;
    bool expected;
  } rows[] = {
      // Boundaries of the two fields read.
      {"status 0, address 0", 1, Reply(0, 0), false},
      {"status 0, smallest address", 1, Reply(0, 1), true},
      {"status 0, largest address", 1, Reply(0, 0xFFFFFFFFu), true},
      {"status 1, address set", 1, Reply(1, 0x0100007F), false},
      // What a real service reports.
      {"echo reply", 1, Reply(platform::kIpSuccess, 0x0100007F), true},
      {"timed out", 0, Reply(platform::kIpReqTimedOut, 0), false},
      {"host unreachable from a router", 1, Reply(platform::kIpDestHostUnreachable, 0x0101A8C0),
       false},
      {"refused address, status only", 0, Reply(platform::kIpBadDestination, 0), false},
      {"send failed without writing", 0, std::nullopt, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeEcho echo;
    echo.answers = row.answers;
    echo.answer = row.answer;
    Text t_IP = u"192.168.1.1";
    EXPECT_EQ(Ping(echo, t_IP), row.expected);
    EXPECT_EQ(echo.calls, kProbe);
  }
}

TEST(PingTest, TextsThatAreNotFourPartsProbeAddressZero) {
  const Text texts[] = {u"", u"1.2.3", u"localhost", u"pos-server.local"};
  for (const Text& text : texts) {
    SCOPED_TRACE(ToUtf8(text));
    FakeEcho echo;
    // Even a service that answered would not make address 0 reachable.
    echo.answer = Reply(0, 0);
    Text t_IP = text;
    EXPECT_FALSE(Ping(echo, t_IP));
    EXPECT_EQ(echo.destination, 0u);
    EXPECT_EQ(echo.calls, kProbe);
    EXPECT_EQ(t_IP, text);
  }
}

TEST(PingTest, BadAddressTextsRaiseBeforeAnyPlatformCall) {
  const struct {
    const char* label;
    Text t_IP;
    int error;
  } rows[] = {
      {"four dots", u"1.2.3.4.", 9},
      {"five parts", u"1.2.3.4.5", 9},
      {"empty part", u"1..2.3", 13},
      {"letters in four parts", u"a.b.c.d", 13},
      {"part beyond 32 bits", u"1.2.3.99999999999", 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeEcho echo;
    Text t_IP = row.t_IP;
    EXPECT_EQ(ErrorOf([&] { Ping(echo, t_IP); }), row.error);
    EXPECT_TRUE(echo.calls.empty());
    EXPECT_EQ(t_IP, row.t_IP);
  }
}

TEST(PingTest, FailingSocketLayerOrHandleStillRunsTheRestOfTheProbe) {
  {
    SCOPED_TRACE("socket layer start fails");
    FakeEcho echo;
    echo.start_ok = false;
    echo.answer = Reply(0, 0x0100007F);
    Text t_IP = u"127.0.0.1";
    EXPECT_TRUE(Ping(echo, t_IP));
    EXPECT_EQ(echo.calls, kProbe);
  }
  {
    SCOPED_TRACE("no handle: the send gets none and fails");
    FakeEcho echo;
    echo.create_ok = false;
    echo.answer = Reply(0, 0x0100007F);
    Text t_IP = u"127.0.0.1";
    EXPECT_FALSE(Ping(echo, t_IP));
    EXPECT_TRUE(echo.handle_was_null);
    EXPECT_EQ(echo.calls,
              (Calls{"StartSocketLayer", "IcmpCreateFile", "IcmpSendEcho", "StopSocketLayer"}));
  }
  {
    SCOPED_TRACE("socket layer stop fails");
    FakeEcho echo;
    echo.stop_ok = false;
    echo.answer = Reply(0, 0x0100007F);
    Text t_IP = u"127.0.0.1";
    EXPECT_TRUE(Ping(echo, t_IP));
    EXPECT_EQ(echo.calls, kProbe);
  }
}

TEST(PingTest, LoopbackAnswersThroughTheRealEchoService) {
  platform::posix::PosixEcho echo;
  if (!echo.IcmpCreateFile()) GTEST_SKIP() << "this process may open no ICMP socket";
  const Text texts[] = {u"127.0.0.1", u" 127.0.0.1", u"127.0.0.2", u"383.256.0.1"};
  for (const Text& text : texts) {
    SCOPED_TRACE(ToUtf8(text));
    Text t_IP = text;
    EXPECT_TRUE(Ping(echo, t_IP));
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::probe
