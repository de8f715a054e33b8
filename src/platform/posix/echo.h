// EchoService on POSIX. The socket layer needs no start or stop. A handle
// owns an ICMP socket: an unprivileged ICMP datagram socket where the system
// allows one (net.ipv4.ping_group_range), else a raw ICMP socket (which needs
// CAP_NET_RAW); with neither, IcmpCreateFile answers null.
//
// One request, one answer: the request carries the caller's data under a
// sequence number of its own; replies, and ICMP errors quoting the request,
// that do not match it are passed over until the time is up. Through a
// datagram socket the system reports an unreachable destination as an error
// of the socket; it becomes the matching IP status with no answering address.
// The address 0 is refused without sending anything, as the platform refuses
// it (Linux would answer it from the local host).
#pragma once

#include "platform/echo.h"

namespace kavrolin::platform::posix {

class PosixEcho : public EchoService {
 public:
  // Which sockets IcmpCreateFile may open, in order. Tests pick one kind to
  // exercise each path.
  enum class Sockets { kDatagramThenRaw, kDatagramOnly, kRawOnly };
  explicit PosixEcho(Sockets sockets = Sockets::kDatagramThenRaw) : sockets_(sockets) {}

  bool StartSocketLayer(uint16_t version) override { return true; }
  bool StopSocketLayer() override { return true; }
  std::unique_ptr<EchoHandle> IcmpCreateFile() override;
  uint32_t IcmpSendEcho(EchoHandle* handle, uint32_t destination, std::string_view request_data,
                        EchoReply& reply, uint32_t timeout_ms) override;

 private:
  Sockets sockets_;
};

}  // namespace kavrolin::platform::posix
