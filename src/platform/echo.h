// The ICMP echo service and the socket layer it runs in: a probe sends one
// echo request to an IPv4 address and waits a bounded time for the answer.
//
// Addresses are 32-bit values whose lowest byte is the first part of the
// dotted form ("127.0.0.1" is 0x0100007F). Nothing here throws; failures
// are reported through results and IP status codes.
//
// A handle is used from one thread at a time; separate handles may probe at
// once, in one process or several.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

namespace kavrolin::platform {

// The platform's IP status codes of an echo.
enum IpStatus : uint32_t {
  kIpSuccess = 0,
  kIpBufTooSmall = 11001,
  kIpDestNetUnreachable = 11002,
  kIpDestHostUnreachable = 11003,
  kIpDestProtUnreachable = 11004,
  kIpDestPortUnreachable = 11005,
  kIpNoResources = 11006,
  kIpPacketTooBig = 11009,
  kIpReqTimedOut = 11010,
  kIpTtlExpiredTransit = 11013,
  kIpTtlExpiredReassem = 11014,
  kIpParamProblem = 11015,
  kIpSourceQuench = 11016,
  kIpBadDestination = 11018,
  kIpGeneralFailure = 11050,
};

// One answer to an echo request: the fields of the platform's echo-reply
// record and room for 250 bytes of echoed data.
struct EchoReply {
  uint32_t address = 0;          // the answering host
  uint32_t status = kIpSuccess;  // IpStatus
  uint32_t round_trip_time = 0;  // milliseconds
  uint16_t data_size = 0;        // bytes of `data` that hold the echoed data
  std::array<uint8_t, 250> data{};
};

// An open echo handle; destroying it closes it (IcmpCloseHandle).
class EchoHandle {
 public:
  virtual ~EchoHandle() = default;
};

class EchoService {
 public:
  virtual ~EchoService() = default;

  // WSAStartup with the requested version: true when the socket layer is
  // ready. Each successful start is matched by one StopSocketLayer.
  virtual bool StartSocketLayer(uint16_t version) = 0;
  // WSACleanup.
  virtual bool StopSocketLayer() = 0;

  // IcmpCreateFile: a handle for echo requests; null when none can be had.
  virtual std::unique_ptr<EchoHandle> IcmpCreateFile() = 0;

  // IcmpSendEcho: sends one echo request carrying `request_data` to
  // `destination` and waits at most `timeout_ms` for its answer. Returns the
  // number of answers written to `reply`:
  //   1: an echo reply (status kIpSuccess, address the replying host, the
  //      echoed data) or an ICMP error message that answers this request
  //      (its status, address the host that sent it);
  //   0: no answer. `reply.status` then tells why (kIpReqTimedOut, an
  //      unreachable network, kIpBadDestination for the address 0, which is
  //      refused without sending anything, kIpBufTooSmall for more data than
  //      `reply` can hold back) and the rest of `reply` is left as it was.
  //      A null handle, or one another service gave out, leaves all of
  //      `reply` as it was.
  virtual uint32_t IcmpSendEcho(EchoHandle* handle, uint32_t destination,
                                std::string_view request_data, EchoReply& reply,
                                uint32_t timeout_ms) = 0;
};

}  // namespace kavrolin::platform
