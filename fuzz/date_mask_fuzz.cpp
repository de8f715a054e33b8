// The date-mask formatter on any mask and any broken-down time the clock can
// hand out, and on times made from any automation date. Invariant: a mask without
// tokens, quotes or backslashes comes back as it stands.
#include <cmath>
#include <cstring>

#include "base/automation_error.h"
#include "base/date_mask.h"
#include "fuzz_support.h"

using namespace kavrolin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  LocalTime time;
  if (data.ConsumeBool()) {
    double date;
    const uint64_t bits = data.ConsumeIntegral<uint64_t>();
    std::memcpy(&date, &bits, sizeof date);
    // Dates an automation date can hold: years 100 to 9999.
    if (!std::isfinite(date) || date < -657434.0 || date > 2958465.999999) return 0;
    time = FromAutomationDate(date);
    FUZZ_CHECK(time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31);
    FUZZ_CHECK(time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59);
  } else {
    // Any time the clock can hand out; days past a short month's end too.
    time.year = data.ConsumeIntegralInRange(100, 9999);
    time.month = data.ConsumeIntegralInRange(1, 12);
    time.day = data.ConsumeIntegralInRange(1, 31);
    time.hour = data.ConsumeIntegralInRange(0, 23);
    time.minute = data.ConsumeIntegralInRange(0, 59);
    time.second = data.ConsumeIntegralInRange(0, 59);
    time.millisecond = data.ConsumeIntegralInRange(0, 999);
  }
  const Text mask = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"yYqmMdDhHnNsSwW:/\\\"-. 0", 64)
                                       : fuzz::Units(data, 128);
  try {
    const Text out = FormatDateMask(time, mask);
    bool plain = true;
    for (char16_t c : mask) {
      if (std::u16string_view(u"yYqQmMdDhHnNsSwW\\\"").find(c) != std::u16string_view::npos) plain = false;
    }
    if (plain) FUZZ_CHECK(out == mask);
  } catch (const AutomationError&) {
    FUZZ_CHECK(!"the formatter refuses nothing");
  }
  return 0;
}
