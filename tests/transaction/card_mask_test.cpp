#include "transaction/card_mask.h"

#include <gtest/gtest.h>

namespace kavrolin::transaction {
namespace {

TEST(CardMask, KeepsFirstSixAndLastFourOfALongNumber) {
  struct Row {
    const char* label;
    Text card;
    Text masked;
  };
  const Row rows[] = {
      {"empty", u"", u""},
      {"blanks only", u"                   ", u"                   "},
      {"four digits hide all", u"1234", u"****"},
      {"five digits keep the last four", u"12345", u"*2345"},
      {"ten digits keep the last four", u"1234567890", u"******7890"},
      {"eleven digits keep six and four", u"12345678901", u"123456*8901"},
      {"sixteen digits, field blanks kept", u"6222021234567890   ", u"622202******7890   "},
      {"nineteen digits", u"6222021234567890123", u"622202*********0123"},
      {"separators stay in place", u"6222-0212-3456-7890", u"6222-02**-****-7890"},
      {"letters are not digits", u"AB6222021234567890", u"AB622202******7890"},
      {"full-width digits are left as they are", u"１２３", u"１２３"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(MaskCardNumber(row.card), row.masked);
  }
}

TEST(CardMask, ResponseRecordMasksOnlyTheCardField) {
  struct Row {
    const char* label;
    Text response;
    Text masked;
  };
  const Row rows[] = {
      {"empty", u"", u""},
      {"shorter than the card field", u"6222021234567", u"622202***4567"},
      {"whole record: amount and index stay",
       u"6222021234567890   000000001234000000000042",
       u"622202******7890   000000001234000000000042"},
      {"a card field of 19 digits runs into the amount",
       u"6222021234567890123000000001234000000000042",
       u"622202*********0123000000001234000000000042"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(MaskResponseRecord(row.response), row.masked);
  }
}

}  // namespace
}  // namespace kavrolin::transaction
