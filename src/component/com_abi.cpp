#include "component/com_abi.h"

namespace kavrolin::component {

PlatformGuid ToPlatform(const Guid& guid) {
  const auto& b = guid.bytes;
  PlatformGuid out;
  out.data1 = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
  out.data2 = static_cast<uint16_t>(b[4] << 8 | b[5]);
  out.data3 = static_cast<uint16_t>(b[6] << 8 | b[7]);
  for (int i = 0; i < 8; ++i) out.data4[i] = b[8 + i];
  return out;
}

Guid FromPlatform(const PlatformGuid& guid) {
  Guid out;
  auto& b = out.bytes;
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(guid.data1 >> (24 - 8 * i));
  b[4] = static_cast<uint8_t>(guid.data2 >> 8);
  b[5] = static_cast<uint8_t>(guid.data2);
  b[6] = static_cast<uint8_t>(guid.data3 >> 8);
  b[7] = static_cast<uint8_t>(guid.data3);
  for (int i = 0; i < 8; ++i) b[8 + i] = guid.data4[i];
  return out;
}

}  // namespace kavrolin::component
