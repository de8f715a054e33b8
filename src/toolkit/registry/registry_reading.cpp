#include "toolkit/registry/registry_reading.h"

#include <array>
#include <string>

#include "base/ansi.h"

namespace kavrolin::toolkit::registry {

namespace reg = platform::reg;

Text GetRegKeyValue(platform::Registry& registry, int32_t& KeyRoot, Text& KeyName,
                    Text& SubKeyRef) {
  const std::string key_name = CrossToAnsi(KeyName);
  const std::string value_name = ToAnsi(SubKeyRef);
  // Zero-filled, so a REG_DWORD shorter than four bytes reads its missing
  // bytes as zeros and a string stored without its zero still ends.
  std::array<uint8_t, kReadBuffer> buffer{};
  uint32_t size = kReadBuffer;
  uint32_t type = reg::kNone;
  bool opened = false;
  const int32_t status =
      registry.QueryKeyValue(static_cast<platform::RegHandle>(KeyRoot), key_name, reg::kKeyRead,
                             value_name, &type, buffer.data(), &size, &opened);
  // The value name crossed to the registry only once the key was open.
  if (opened) SubKeyRef = FromAnsi(value_name);
  if (status != reg::kSuccess) return Text();
  switch (type) {
    case reg::kSz:
    case reg::kExpandSz: {
      const std::string_view bytes(reinterpret_cast<const char*>(buffer.data()), size);
      return FromAnsi(bytes.substr(0, bytes.find('\0')));
    }
    case reg::kDword: {
      // All four bytes: a zero low byte (256) must not cut the value short.
      const uint32_t value =
          static_cast<uint32_t>(buffer[0]) | static_cast<uint32_t>(buffer[1]) << 8 |
          static_cast<uint32_t>(buffer[2]) << 16 | static_cast<uint32_t>(buffer[3]) << 24;
      return AsciiText(std::to_string(value));
    }
    default: return Text();
  }
}

std::string CrossToAnsi(Text& text) {
  std::string bytes = ToAnsi(text);
  text = FromAnsi(bytes);
  return bytes;
}

}  // namespace kavrolin::toolkit::registry
