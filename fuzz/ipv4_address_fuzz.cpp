// The probe's address reading on any text. Invariants: a failure is one of
// the three errors it names; four plain decimal parts of 0 to 255 give their
// bytes in order.
#include "base/automation_error.h"
#include "toolkit/probe/ipv4_address.h"
#include "fuzz_support.h"

using namespace kavrolin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  if (data.ConsumeBool()) {
    uint8_t part[4];
    Text address;
    for (int i = 0; i < 4; ++i) {
      part[i] = data.ConsumeIntegral<uint8_t>();
      if (i) address += u'.';
      address += AsciiText(std::to_string(part[i]));
    }
    const uint32_t expected = part[0] | part[1] << 8 | part[2] << 16 | uint32_t{part[3]} << 24;
    FUZZ_CHECK(static_cast<uint32_t>(toolkit::probe::ParseIPv4Address(address)) == expected);
    return 0;
  }
  const Text address = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"0123456789.+- \t&HhOoEe,", 48)
                                          : fuzz::Units(data, 96);
  try {
    toolkit::probe::ParseIPv4Address(address);
  } catch (const AutomationError& e) {
    FUZZ_CHECK(e.number() == 9 || e.number() == 13 || e.number() == 6);
  }
  return 0;
}
