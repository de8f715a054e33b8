#include "toolkit/probe/ping.h"

#include <memory>
#include <string>

#include "base/ansi.h"
#include "toolkit/probe/ipv4_address.h"

namespace kavrolin::toolkit::probe {
namespace {

constexpr uint16_t kSocketLayerVersion = 0x0101;

// Stops the socket layer however the probe ends.
class SocketLayerStop {
 public:
  explicit SocketLayerStop(platform::EchoService& echo) : echo_(echo) {}
  ~SocketLayerStop() { StopSocketLayer(echo_); }
  SocketLayerStop(const SocketLayerStop&) = delete;
  SocketLayerStop& operator=(const SocketLayerStop&) = delete;

 private:
  platform::EchoService& echo_;
};

}  // namespace

bool StartSocketLayer(platform::EchoService& echo) {
  return echo.StartSocketLayer(kSocketLayerVersion);
}

bool StopSocketLayer(platform::EchoService& echo) { return echo.StopSocketLayer(); }

void SendEchoRequest(platform::EchoService& echo, const Text& address,
                     platform::EchoReply& EchoReply) {
  const std::string payload = ToAnsi(kEchoPayload);
  const auto destination = static_cast<uint32_t>(ParseIPv4Address(address));
  StartSocketLayer(echo);
  const SocketLayerStop stop(echo);
  std::unique_ptr<platform::EchoHandle> handle = echo.IcmpCreateFile();
  echo.IcmpSendEcho(handle.get(), destination, payload, EchoReply, kEchoTimeoutMs);
  handle.reset();  // closes it before the socket layer stops
}

bool Ping(platform::EchoService& echo, Text& t_IP) {
  platform::EchoReply reply{};
  SendEchoRequest(echo, t_IP, reply);
  // A send that failed without writing leaves the zeroed address: false.
  return reply.status == platform::kIpSuccess && reply.address != 0;
}

}  // namespace kavrolin::toolkit::probe
