#include "transaction/card_mask.h"

#include <algorithm>

namespace kavrolin::transaction {
namespace {

constexpr size_t kCardField = 19;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

Text MaskCardNumber(TextView card) {
  const size_t digits = static_cast<size_t>(std::count_if(card.begin(), card.end(), IsDigit));
  size_t keep_first = 0;
  size_t keep_last = 0;
  if (digits >= 11) {
    keep_first = 6;
    keep_last = 4;
  } else if (digits >= 5) {
    keep_last = 4;
  }
  Text masked(card);
  size_t seen = 0;
  for (char16_t& c : masked) {
    if (!IsDigit(c)) continue;
    if (seen >= keep_first && seen < digits - keep_last) c = u'*';
    ++seen;
  }
  return masked;
}

Text MaskResponseRecord(TextView response) {
  const size_t field = std::min(response.size(), kCardField);
  return MaskCardNumber(response.substr(0, field)) + Text(response.substr(field));
}

Text MaskedCardField(TextView card) {
  Text masked = MaskCardNumber(card);
  while (!masked.empty() && masked.back() == u' ') masked.pop_back();
  return masked;
}

}  // namespace kavrolin::transaction
