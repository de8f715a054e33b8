#include "transaction/records.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "base/number_rules.h"

namespace kavrolin::transaction {
namespace {

constexpr size_t kAmountDigits = 12;
constexpr size_t kInvoiceWidth = 16;
constexpr size_t kTextFieldBytes = 8;

// The amount field: the hundredths' digits, zeros in front.
template <typename Unit>
std::string ZeroFilled(std::basic_string_view<Unit> digits) {
  std::string field(kAmountDigits - digits.size(), '0');
  field.append(digits.begin(), digits.end());
  return field;
}

std::string AmountFieldOf(double amount) {
  const double product = amount * 100;
  if (!std::isfinite(product)) throw AutomationError(ErrorNumber::kOverflow);
  // A whole number of hundredths, or nothing goes to the terminal.
  const Text text = NumberText(product);
  if (text.empty() || text.size() > kAmountDigits) throw AutomationError(ErrorNumber::kInvalidCall);
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') throw AutomationError(ErrorNumber::kInvalidCall);
  }
  return ZeroFilled(TextView(text));
}

// The ANSI form of `text` cut after the last whole character that fits in
// `width` bytes, then filled with blanks to `width`.
void AppendTextField(std::string& out, TextView text, size_t width) {
  const AnsiCodec& codec = AnsiCodec::System();
  size_t used = 0;
  for (size_t i = 0; i < text.size();) {
    // ASCII is itself in every code page: one byte, no converter.
    if (text[i] < 0x80) {
      if (used + 1 > width) break;
      out += static_cast<char>(text[i]);
      ++used;
      ++i;
      continue;
    }
    // A surrogate pair is one character.
    const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const size_t units = pair ? 2 : 1;
    const std::string bytes = codec.ToAnsi(text.substr(i, units));
    if (used + bytes.size() > width) break;
    out += bytes;
    used += bytes.size();
    i += units;
  }
  out.append(width - used, ' ');
}

}  // namespace

std::string AmountField(double amount) {
  // A whole number of hundredths reads through the number-text rule as itself.
  const std::optional<int64_t> hundredths = WholeHundredths(amount);
  if (hundredths && *hundredths >= 0) {
    char digits[kAmountDigits];
    const char* end = std::to_chars(digits, digits + kAmountDigits, *hundredths).ptr;
    return ZeroFilled(std::string_view(digits, static_cast<size_t>(end - digits)));
  }
  // Through the number-text rule first: the amount as its 15-digit text says.
  return AmountFieldOf(LeadingNumber(NumberText(amount)));
}

std::string AmountField(TextView amount) { return AmountFieldOf(LeadingNumber(amount)); }

std::string BuildRequest(TextView code, const std::string& amount_field, int32_t invoice,
                         TextView cashier, TextView register_id) {
  std::string request;
  request.reserve(kRequestBytes);
  request.append(code.begin(), code.end());
  request += amount_field;
  const std::string invoice_text = std::to_string(invoice);
  request += invoice_text;
  request.append(kInvoiceWidth - invoice_text.size(), ' ');
  AppendTextField(request, cashier, kTextFieldBytes);
  AppendTextField(request, register_id, kTextFieldBytes);
  return request;
}

ResponseFields ReadResponse(TextView response) {
  // A short response reads as filled with blanks.
  Text padded;
  if (response.size() < kResponseChars) {
    padded = response;
    padded.resize(kResponseChars, u' ');
    response = padded;
  }
  const TextView view = response.substr(0, kResponseChars);
  ResponseFields fields;
  fields.card_number = Text(view.substr(0, 19));
  fields.amount = TwoDecimalsText(LeadingNumber(view.substr(19, 12)) / 100);
  fields.index_number = NumberText(LeadingNumber(view.substr(31, 12)));
  return fields;
}

}  // namespace kavrolin::transaction
