// EchoService on Windows: WSAStartup/WSACleanup and the ICMP helper
// functions IcmpCreateFile, IcmpSendEcho and IcmpCloseHandle. The address 0
// and more data than a reply can hold back are refused before anything is
// sent, as the service's contract says.
#pragma once

#include "platform/echo.h"

namespace kavrolin::platform::win32 {

class Win32Echo : public EchoService {
 public:
  bool StartSocketLayer(uint16_t version) override;
  bool StopSocketLayer() override;
  std::unique_ptr<EchoHandle> IcmpCreateFile() override;
  uint32_t IcmpSendEcho(EchoHandle* handle, uint32_t destination, std::string_view request_data,
                        EchoReply& reply, uint32_t timeout_ms) override;
};

}  // namespace kavrolin::platform::win32
