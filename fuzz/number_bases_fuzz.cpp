// The number-base conversions on any text and any double. Invariants: a
// whole number below 10^15 goes to binary and back unchanged; binary to hex
// to binary keeps the digits (padded to whole groups of four); hex to
// decimal agrees with hex to binary to decimal.
#include <cmath>
#include <cstring>

#include "base/automation_error.h"
#include "toolkit/numbers/number_bases.h"
#include "fuzz_support.h"

using namespace kavrolin;
namespace nb = kavrolin::toolkit::numbers;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  fuzz::CountingMessageBox box;
  try {
    switch (data.ConsumeIntegralInRange(0, 3)) {
      case 0: {
        // Below 10^15: from there up the text form is "1E+15", which the
        // conversion refuses as not whole.
        const double whole = static_cast<double>(data.ConsumeIntegralInRange<int64_t>(0, 999999999999999));
        const Text binary = nb::Dec2Bin(box, whole);
        FUZZ_CHECK(nb::Bin2Dec(box, binary) == whole);
        double any;
        const uint64_t bits = data.ConsumeIntegral<uint64_t>();
        std::memcpy(&any, &bits, sizeof any);
        nb::Dec2Bin(box, any);
        nb::CheckBitStatus(box, any, data.ConsumeFloatingPoint<double>());
        break;
      }
      case 1: {
        const Text binary = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"01", 200) : fuzz::Units(data, 64);
        const int shown = box.shown;
        const double value = nb::Bin2Dec(box, binary);
        const Text hex = nb::Bin2Hex(box, binary);
        if (box.shown == shown && !binary.empty()) {
          Text back = hex;
          const Text digits = nb::Hex2Bin(box, back);
          FUZZ_CHECK(digits.size() == (binary.size() + 3) / 4 * 4);
          FUZZ_CHECK(digits.ends_with(binary));
          FUZZ_CHECK(std::isfinite(value));
        }
        break;
      }
      default: {
        Text hex = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"0123456789abcdefABCDEFgG\xFF10", 80)
                                      : fuzz::Units(data, 64);
        Text copy = hex;
        const int shown = box.shown;
        const double value = nb::Hex2Dec(box, hex);
        const Text binary = nb::Hex2Bin(box, copy);
        FUZZ_CHECK(hex == copy);  // both put the caller's text in capitals alike
        if (box.shown == shown && binary.size() <= 52) FUZZ_CHECK(nb::Bin2Dec(box, binary) == value);
      }
    }
  } catch (const AutomationError& e) {
    FUZZ_CHECK(e.number() == 6);
  }
  return 0;
}
