// The leading-number rule, the decimal reader and the number-text rules on
// any text and any double. Invariants: the number text of a value reads back
// as the value rounded to 15 digits, whose number text is the same text (or,
// for the few doubles that round past the largest, overflows); the
// two-decimal text always has exactly two digits after its point.
#include <cmath>
#include <cstring>

#include "base/automation_error.h"
#include "base/number_rules.h"
#include "fuzz_support.h"

using namespace kavrolin;

namespace {

void ReadAnyText(FuzzedDataProvider& data) {
  const Text text = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"0123456789+-.eEdD \t\n", 64)
                                       : fuzz::Units(data, 256);
  try {
    const double value = LeadingNumber(text);
    FUZZ_CHECK(std::isfinite(value));
  } catch (const AutomationError& e) {
    FUZZ_CHECK(e.number() == 6);
  }
  const std::string ascii = data.ConsumeRandomLengthString(64);
  try {
    FUZZ_CHECK(std::isfinite(DecimalValue(ascii)));
  } catch (const AutomationError&) {
  }
}

void WriteAnyDouble(FuzzedDataProvider& data) {
  double value;
  const uint64_t bits = data.ConsumeIntegral<uint64_t>();
  std::memcpy(&value, &bits, sizeof value);
  if (!std::isfinite(value)) {
    bool threw = false;
    try { NumberText(value); } catch (const AutomationError& e) { threw = e.number() == 6; }
    FUZZ_CHECK(threw);
    return;
  }
  const Text text = NumberText(value);
  FUZZ_CHECK(!text.empty());
  try {
    const double back = LeadingNumber(text);
    FUZZ_CHECK(NumberText(back) == text);
  } catch (const AutomationError& e) {
    // Only the largest doubles round up past the range at 15 digits
    // ("1.79769313486232E+308"); reading that back overflows.
    FUZZ_CHECK(e.number() == 6 && std::fabs(value) > 1.797693134862315e308);
  }
  const Text two = TwoDecimalsText(value);
  const size_t point = two.find(u'.');
  FUZZ_CHECK(point != Text::npos && point > 0 && two.size() - point == 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  if (data.ConsumeBool()) ReadAnyText(data);
  else WriteAnyDouble(data);
  return 0;
}
