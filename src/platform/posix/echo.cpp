#include "platform/posix/echo.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/posix/posix_error.h"
#include "platform/posix/unique_fd.h"

namespace kavrolin::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint8_t kIcmpEchoReply = 0;
constexpr uint8_t kIcmpDestUnreachable = 3;
constexpr uint8_t kIcmpSourceQuench = 4;
constexpr uint8_t kIcmpEchoRequest = 8;
constexpr uint8_t kIcmpTimeExceeded = 11;
constexpr uint8_t kIcmpParameterProblem = 12;
constexpr size_t kIcmpHeaderSize = 8;
constexpr size_t kMinIpHeaderSize = 20;

class SocketHandle final : public EchoHandle {
 public:
  SocketHandle(UniqueFd fd, bool raw) : fd_(std::move(fd)), raw_(raw) {}
  int fd() const { return fd_.get(); }
  bool raw() const { return raw_; }

 private:
  UniqueFd fd_;
  bool raw_;
};

// Sequence numbers tell this process's requests apart on a raw socket, which
// hears every ICMP message of the host.
std::atomic<uint16_t> next_sequence{1};

uint16_t Checksum(const uint8_t* data, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < size; i += 2) sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
  if (size % 2 != 0) sum += static_cast<uint32_t>(data[size - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint16_t>(~sum);
}

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

// The address value holds the first dotted part in its lowest byte, which is
// the order the bytes travel in.
in_addr ToInAddr(uint32_t address) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8),
                            static_cast<uint8_t>(address >> 16),
                            static_cast<uint8_t>(address >> 24)};
  in_addr out;
  std::memcpy(&out.s_addr, bytes, 4);
  return out;
}

uint32_t FromBytes(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint32_t FromInAddr(const in_addr& address) {
  uint8_t bytes[4];
  std::memcpy(bytes, &address.s_addr, 4);
  return FromBytes(bytes);
}

uint32_t StatusOfIcmpError(uint8_t type, uint8_t code) {
  switch (type) {
    case kIcmpDestUnreachable:
      switch (code) {
        case 0: return kIpDestNetUnreachable;
        case 2: return kIpDestProtUnreachable;
        case 3: return kIpDestPortUnreachable;
        case 4: return kIpPacketTooBig;
        default: return kIpDestHostUnreachable;
      }
    case kIcmpSourceQuench: return kIpSourceQuench;
    case kIcmpTimeExceeded: return code == 0 ? kIpTtlExpiredTransit : kIpTtlExpiredReassem;
    case kIcmpParameterProblem: return kIpParamProblem;
  }
  return kIpGeneralFailure;
}

std::vector<uint8_t> EchoRequest(uint16_t id, uint16_t sequence, std::string_view data) {
  std::vector<uint8_t> request(kIcmpHeaderSize + data.size());
  request[0] = kIcmpEchoRequest;
  request[4] = static_cast<uint8_t>(id >> 8);
  request[5] = static_cast<uint8_t>(id);
  request[6] = static_cast<uint8_t>(sequence >> 8);
  request[7] = static_cast<uint8_t>(sequence);
  std::copy(data.begin(), data.end(), request.begin() + kIcmpHeaderSize);
  const uint16_t checksum = Checksum(request.data(), request.size());
  request[2] = static_cast<uint8_t>(checksum >> 8);
  request[3] = static_cast<uint8_t>(checksum);
  return request;
}

// One received packet read as an answer to the request.
struct Answer {
  uint32_t status;
  const uint8_t* data;
  size_t data_size;
};

// nullopt when the packet answers another request (or is no answer at all).
// A datagram socket has matched the identifier already; through a raw socket
// `id` must match too.
std::optional<Answer> Match(const uint8_t* packet, size_t size, bool raw, uint16_t id,
                            uint16_t sequence, uint32_t destination) {
  if (raw) {
    // A raw socket hands over the IP header too.
    if (size < kMinIpHeaderSize) return std::nullopt;
    const size_t header = static_cast<size_t>(packet[0] & 0x0F) * 4;
    if (header < kMinIpHeaderSize || size < header + kIcmpHeaderSize) return std::nullopt;
    packet += header;
    size -= header;
  } else if (size < kIcmpHeaderSize) {
    return std::nullopt;
  }
  const uint8_t type = packet[0];
  if (type == kIcmpEchoReply) {
    if ((raw && Read16(packet + 4) != id) || Read16(packet + 6) != sequence) return std::nullopt;
    return Answer{kIpSuccess, packet + kIcmpHeaderSize, size - kIcmpHeaderSize};
  }
  if (!raw || (type != kIcmpDestUnreachable && type != kIcmpSourceQuench &&
               type != kIcmpTimeExceeded && type != kIcmpParameterProblem)) {
    return std::nullopt;  // among them our own request, heard again on loopback
  }
  // An error message quotes the IP header and the first 8 bytes of the request.
  const uint8_t* quoted = packet + kIcmpHeaderSize;
  const size_t quoted_size = size - kIcmpHeaderSize;
  if (quoted_size < kMinIpHeaderSize) return std::nullopt;
  const size_t header = static_cast<size_t>(quoted[0] & 0x0F) * 4;
  if (header < kMinIpHeaderSize || quoted_size < header + kIcmpHeaderSize) return std::nullopt;
  const uint8_t* request = quoted + header;
  if (FromBytes(quoted + 16) != destination || request[0] != kIcmpEchoRequest ||
      Read16(request + 4) != id || Read16(request + 6) != sequence) {
    return std::nullopt;
  }
  return Answer{StatusOfIcmpError(type, packet[1]), nullptr, 0};
}

UniqueFd OpenIcmpSocket(int type) {
  return UniqueFd(::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP));
}

}  // namespace

std::unique_ptr<EchoHandle> PosixEcho::IcmpCreateFile() {
  if (sockets_ != Sockets::kRawOnly) {
    UniqueFd fd = OpenIcmpSocket(SOCK_DGRAM);
    if (fd.valid()) return std::make_unique<SocketHandle>(std::move(fd), false);
  }
  if (sockets_ != Sockets::kDatagramOnly) {
    UniqueFd fd = OpenIcmpSocket(SOCK_RAW);
    if (fd.valid()) return std::make_unique<SocketHandle>(std::move(fd), true);
  }
  return nullptr;
}

uint32_t PosixEcho::IcmpSendEcho(EchoHandle* handle, uint32_t destination,
                                 std::string_view request_data, EchoReply& reply,
                                 uint32_t timeout_ms) {
  const auto* socket = dynamic_cast<SocketHandle*>(handle);
  if (socket == nullptr) return 0;
  if (destination == 0) {
    reply.status = kIpBadDestination;
    return 0;
  }
  if (request_data.size() > reply.data.size()) {
    reply.status = kIpBufTooSmall;
    return 0;
  }

  // A datagram socket puts its own identifier in place of this one.
  const uint16_t id = static_cast<uint16_t>(::getpid());
  const uint16_t sequence = next_sequence.fetch_add(1, std::memory_order_relaxed);
  const std::vector<uint8_t> request = EchoRequest(id, sequence, request_data);

  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_addr = ToInAddr(destination);
  const auto* to_address = reinterpret_cast<const sockaddr*>(&to);
  // Connected, a datagram socket hears of an unreachable destination; a raw
  // socket hears the error messages whatever it is connected to.
  if (!socket->raw() && ::connect(socket->fd(), to_address, sizeof to) != 0) {
    reply.status = IpStatusOfErrno(errno);
    return 0;
  }
  const Clock::time_point sent = Clock::now();
  const Clock::time_point deadline = sent + std::chrono::milliseconds(timeout_ms);
  ssize_t n;
  do {
    n = ::sendto(socket->fd(), request.data(), request.size(), 0, to_address, sizeof to);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    reply.status = IpStatusOfErrno(errno);
    return 0;
  }

  uint8_t packet[65536];
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    // Rounded up, so the wait never ends before the deadline.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    pollfd readable{socket->fd(), POLLIN, 0};
    const int ready = ::poll(&readable, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno != EINTR) {
      reply.status = IpStatusOfErrno(errno);
      return 0;
    }
    if (ready <= 0) continue;
    sockaddr_in from{};
    socklen_t from_size = sizeof from;
    const ssize_t got = ::recvfrom(socket->fd(), packet, sizeof packet, MSG_DONTWAIT,
                                   reinterpret_cast<sockaddr*>(&from), &from_size);
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      reply.status = IpStatusOfErrno(errno);
      return 0;
    }
    const auto answer =
        Match(packet, static_cast<size_t>(got), socket->raw(), id, sequence, destination);
    if (!answer) continue;
    reply.address = FromInAddr(from.sin_addr);
    reply.status = answer->status;
    reply.round_trip_time = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent).count());
    reply.data_size = static_cast<uint16_t>(std::min(answer->data_size, reply.data.size()));
    std::copy_n(answer->data, reply.data_size, reply.data.begin());
    return 1;
  }
  reply.status = kIpReqTimedOut;
  return 0;
}

}  // namespace kavrolin::platform::posix
