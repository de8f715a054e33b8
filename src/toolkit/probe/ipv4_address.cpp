#include "toolkit/probe/ipv4_address.h"

#include <array>

#include "base/automation_error.h"
#include "base/variant.h"

namespace kavrolin::toolkit::probe {
namespace {

constexpr size_t kSlots = 4;

}  // namespace

int32_t ParseIPv4Address(const Text& address) {
  std::array<Text, kSlots> slots;
  size_t count = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = address.find(u'.', start);
    // The table has four slots; a fifth part has nowhere to go.
    if (count == kSlots) throw AutomationError(ErrorNumber::kSubscriptOutOfRange);
    slots[count++] = address.substr(start, dot == Text::npos ? Text::npos : dot - start);
    if (dot == Text::npos) break;
    start = dot + 1;
  }
  if (count != kSlots) return 0;
  uint32_t value = 0;
  for (size_t i = 0; i < kSlots; ++i) {
    const auto part = static_cast<uint32_t>(Variant(slots[i]).ToInt32());
    value |= (part & 0xFFu) << (8 * i);
  }
  return static_cast<int32_t>(value);
}

}  // namespace kavrolin::toolkit::probe
