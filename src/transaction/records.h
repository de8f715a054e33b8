// The fixed-width records exchanged with the terminal library.
//
// TerminalRequest, 46 bytes of the ANSI form: transaction code (2), amount in
// hundredths (12 digits), invoice number (16, left-aligned, blank-filled),
// cashier (8) and register (8). The cashier and register are cut after the
// last whole character that fits in 8 bytes and filled with blanks, so no
// field ever shifts.
//
// TerminalResponse, 43 characters: card number (19), amount in hundredths
// (12), index number (12).
#pragma once

#include <cstdint>
#include <string>

#include "base/text.h"

namespace kavrolin::transaction {

inline constexpr size_t kRequestBytes = 46;
inline constexpr size_t kResponseChars = 43;

// Transaction codes.
inline constexpr char16_t kSaleCode[] = u"05";
inline constexpr char16_t kInquiryCode[] = u"06";
inline constexpr char16_t kVoidSaleCode[] = u"07";
inline constexpr char16_t kRefundCode[] = u"08";
inline constexpr char16_t kOtherCode[] = u"ff";

// The 12-digit amount field for an amount in currency units. The amount goes
// through the number-text rule, is multiplied by 100 and must then be a whole
// number of hundredths from 0 to 999999999999; anything else (a fraction of a
// hundredth, a negative or too large amount) throws AutomationError 5, so that
// no malformed amount reaches a payment terminal. An amount that is not finite,
// or whose hundredths lie beyond a double, throws 6 "Overflow" instead.
std::string AmountField(double amount);
// The same for an amount given as text, read with the leading-number rule.
std::string AmountField(TextView amount);

// The 46-byte request. `code` is two ASCII characters.
std::string BuildRequest(TextView code, const std::string& amount_field, int32_t invoice,
                         TextView cashier, TextView register_id);

struct ResponseFields {
  Text card_number;  // the 19 characters as they stand
  Text amount;       // "0.00" form
  Text index_number; // number text
};

// Reads the three fields of a 43-character response. Throws AutomationError 6
// when a numeric field holds a number beyond a double.
ResponseFields ReadResponse(TextView response);

}  // namespace kavrolin::transaction
