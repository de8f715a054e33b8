// The request and response records. Invariants: a request is always 46
// bytes whatever its texts; an amount field is 12 digits or error 5 (6 when the
// amount in hundredths is beyond a double); any
// 43-unit response is read or refused with error 6.
#include <cmath>
#include <cstring>

#include "base/automation_error.h"
#include "transaction/records.h"
#include "fuzz_support.h"

using namespace kavrolin;
namespace tx = kavrolin::transaction;

namespace {

void CheckAmountField(const std::string& field) {
  FUZZ_CHECK(field.size() == 12);
  for (char c : field) FUZZ_CHECK(c >= '0' && c <= '9');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  switch (data.ConsumeIntegralInRange(0, 2)) {
    case 0: {
      double amount;
      const uint64_t bits = data.ConsumeIntegral<uint64_t>();
      std::memcpy(&amount, &bits, sizeof amount);
      if (data.ConsumeBool()) amount = data.ConsumeIntegralInRange<int64_t>(-2, 1000000000000) / 100.0;
      try {
        CheckAmountField(tx::AmountField(amount));
      } catch (const AutomationError& e) {
        FUZZ_CHECK(e.number() == 5 || (e.number() == 6 && !std::isfinite(amount * 100)));
      }
      const Text text = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"0123456789.-+eE ", 24)
                                           : fuzz::Units(data, 48);
      try {
        CheckAmountField(tx::AmountField(text));
      } catch (const AutomationError& e) {
        FUZZ_CHECK(e.number() == 5 || e.number() == 6);
      }
      break;
    }
    case 1: {
      const Text code = fuzz::FromAlphabet(data, u"05678f", 2);
      const std::string amount = "000000001234";
      const int32_t invoice = data.ConsumeIntegral<int32_t>();
      const Text cashier = fuzz::Units(data, 24);
      const Text register_id = fuzz::Units(data, 24);
      if (code.size() != 2) break;
      const std::string request = tx::BuildRequest(code, amount, invoice, cashier, register_id);
      FUZZ_CHECK(request.size() == tx::kRequestBytes);
      break;
    }
    default: {
      Text response = data.ConsumeBool() ? fuzz::FromAlphabet(data, u"0123456789 .-E", tx::kResponseChars)
                                         : fuzz::Units(data, tx::kResponseChars);
      response.resize(tx::kResponseChars, u' ');
      try {
        const auto fields = tx::ReadResponse(response);
        FUZZ_CHECK(fields.card_number.size() == 19);
        FUZZ_CHECK(fields.amount.find(u'.') != Text::npos);
      } catch (const AutomationError& e) {
        FUZZ_CHECK(e.number() == 6);
      }
    }
  }
  return 0;
}
