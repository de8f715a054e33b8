// Masking of card numbers for everything the component writes besides the
// journal (whose lines are fixed): payment records and the support trace.
#pragma once

#include "base/text.h"

namespace kavrolin::transaction {

// The card number with its middle digits replaced by "*". With 11 or more
// digits the first 6 and the last 4 stay; with 5 to 10 only the last 4 stay
// (keeping 6 and 4 would hide nothing); with 4 or fewer every digit goes.
// Characters other than the ASCII digits 0-9 (blanks, separators) stay where
// they are, so the field keeps its width.
Text MaskCardNumber(TextView card);

// A card number field as the payment records keep it and the command line
// shows it: masked, trailing blanks removed.
Text MaskedCardField(TextView card);

// A 43-character response record with its card number field (the first 19
// characters) masked; a shorter text is masked over what it has.
Text MaskResponseRecord(TextView response);

}  // namespace kavrolin::transaction
