#include "platform/win32/echo.h"

// The IP helper headers need windows.h first.

#include "platform/win32/windows_api.h"
#include <iphlpapi.h>
#include <icmpapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kavrolin::platform::win32 {
namespace {

class Win32EchoHandle : public EchoHandle {
 public:
  explicit Win32EchoHandle(HANDLE handle) : handle_(handle) {}
  ~Win32EchoHandle() override { ::IcmpCloseHandle(handle_); }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool Win32Echo::StartSocketLayer(uint16_t version) {
  WSADATA data{};
  return ::WSAStartup(version, &data) == 0;
}

bool Win32Echo::StopSocketLayer() { return ::WSACleanup() == 0; }

std::unique_ptr<EchoHandle> Win32Echo::IcmpCreateFile() {
  HANDLE handle = ::IcmpCreateFile();
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32EchoHandle>(handle);
}

uint32_t Win32Echo::IcmpSendEcho(EchoHandle* handle, uint32_t destination,
                                 std::string_view request_data, EchoReply& reply,
                                 uint32_t timeout_ms) {
  auto* own = dynamic_cast<Win32EchoHandle*>(handle);
  if (own == nullptr) return 0;
  if (destination == 0) {
    reply.status = kIpBadDestination;
    return 0;
  }
  if (request_data.size() > reply.data.size()) {
    reply.status = kIpBufTooSmall;
    return 0;
  }
  // Room for one reply record, the echoed data and an ICMP error's 8 bytes.
  std::vector<char> buffer(sizeof(ICMP_ECHO_REPLY) + reply.data.size() + 8);
  std::string request(request_data);
  const DWORD answers =
      ::IcmpSendEcho(own->get(), destination, request.data(), static_cast<WORD>(request.size()),
                     nullptr, buffer.data(), static_cast<DWORD>(buffer.size()), timeout_ms);
  if (answers == 0) {
    const DWORD error = ::GetLastError();
    // The helper answers the IP status itself as the last error.
    reply.status = error >= kIpBufTooSmall && error <= kIpGeneralFailure ? error : uint32_t{kIpGeneralFailure};
    return 0;
  }
  ICMP_ECHO_REPLY record;
  std::memcpy(&record, buffer.data(), sizeof record);
  reply.address = record.Address;
  reply.status = record.Status;
  reply.round_trip_time = record.RoundTripTime;
  const size_t size = std::min<size_t>(record.DataSize, reply.data.size());
  const char* data = static_cast<const char*>(record.Data);
  if (data >= buffer.data() && data + size <= buffer.data() + buffer.size()) {
    std::memcpy(reply.data.data(), data, size);
    reply.data_size = static_cast<uint16_t>(size);
  } else {
    reply.data_size = 0;
  }
  return 1;
}

}  // namespace kavrolin::platform::win32
