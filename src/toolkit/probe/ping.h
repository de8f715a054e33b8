// The reachability probe: does the machine at a dotted IPv4 address answer
// one ICMP echo request within 200 milliseconds? No name is ever resolved.
// Nothing is kept between calls; each probe opens and closes its own handle.
#pragma once

#include "base/text.h"
#include "platform/echo.h"

namespace kavrolin::toolkit::probe {

// The echo service's time-out and payload: the text "Echo This", sent as its
// 9 ANSI bytes without a terminating zero.
inline constexpr uint32_t kEchoTimeoutMs = 200;
inline constexpr char16_t kEchoPayload[] = u"Echo This";

// Starts the socket layer (version 1.1). The answer is the service's; the
// probe goes ahead whatever it is.
bool StartSocketLayer(platform::EchoService& echo);
// Stops the socket layer. The answer is the service's.
bool StopSocketLayer(platform::EchoService& echo);

// Reads the address (see ParseIPv4Address, whose errors it lets through
// before anything else is done), starts the socket layer, opens an echo
// handle, sends one echo request with the payload and the time-out into
// EchoReply, closes the handle and stops the socket layer. A handle that
// could not be opened is handed to the send as it is, which then fails; the
// socket layer is stopped even when its start failed.
void SendEchoRequest(platform::EchoService& echo, const Text& address,
                     platform::EchoReply& EchoReply);

// True when the probe's reply, starting zeroed, comes back with status 0 and
// a non-zero address; false for no answer, an error answer, a refused or
// failed send, and every text that is not four parts (address 0). t_IP is
// not changed.
//
// Throws (unguarded) the address errors of ParseIPv4Address: 9 for four or
// more dots, 13 for an empty or non-numeric part, 6 for a part beyond the
// 32-bit range; nothing is sent then.
bool Ping(platform::EchoService& echo, Text& t_IP);

}  // namespace kavrolin::toolkit::probe
