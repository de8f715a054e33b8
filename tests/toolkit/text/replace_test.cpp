#include "toolkit/text/replace.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "support/error_of.h"

namespace kavrolin::toolkit::text {
namespace {

using kavrolin::testing::ErrorOf;

const Text kNul(1, u'\0');

TEST(StrReplaceRepeat, ReplacesUntilNoneLeft) {
  const struct {
    const char* label;
    Variant text;
    Text find;
    Text replacement;
    Text expected;
  } rows[] = {
      {"empty_text", Variant(u""), u"a", u"b", u""},
      {"empty_variant", Variant(), u"a", u"b", u""},
      {"not_found", Variant(u"abc"), u"x", u"y", u"abc"},
      {"whole_text", Variant(u"ab"), u"ab", u"", u""},
      {"single_pass", Variant(u"a-b-c"), u"-", u"+", u"a+b+c"},
      {"blank_runs_collapse", Variant(u"a     b"), u"  ", u" ", u"a b"},
      {"many_blank_runs", Variant(u"  x    y      z "), u"  ", u" ", u" x y z "},
      {"removal_recreates_occurrence", Variant(u"((()))"), u"()", u"", u""},
      {"swap_until_sorted", Variant(u"bbaa"), u"ba", u"ab", u"aabb"},
      {"longer_replacement_that_ends", Variant(u"aab"), u"ab", u"bba", u"bbbbaa"},
      {"nul_removed", Variant(Text(u"a\0\0b\0", 5)), kNul, u"", u"ab"},
      {"case_matters", Variant(u"AaA"), u"a", u"", u"AA"},
      {"chinese", Variant(u"中中中文"), u"中中", u"中", u"中文"},
      {"number_in_text_form", Variant(int32_t{1000}), u"00", u"0", u"10"},
      // A replacement that never ends answers the text unchanged.
      {"empty_find", Variant(u"abc"), u"", u"x", u"abc"},
      {"empty_find_empty_text", Variant(u""), u"", u"x", u""},
      {"replacement_contains_find", Variant(u"a b"), u" ", u"  ", u"a b"},
      {"replacement_equals_find", Variant(u"aXa"), u"X", u"X", u"aXa"},
      {"replacement_contains_find_not_present", Variant(u"abc"), u"x", u"xx", u"abc"},
      {"replacement_wraps_find", Variant(u"ab"), u"ab", u"aabb", u"ab"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text result;
    EXPECT_EQ(ErrorOf([&] { result = StrReplaceRepeat(row.text, row.find, row.replacement); }),
              0);
    EXPECT_EQ(result, row.expected);
  }
}

TEST(StrReplaceRepeat, GrowthCap) {
  // Four units, each replaced by a quarter of the cap: the result lands exactly
  // on the cap, or a few units beyond it.
  const size_t quarter = static_cast<size_t>(kMaxReplacedLength) / 4;
  const size_t cap = static_cast<size_t>(kMaxReplacedLength);
  const struct {
    const char* label;
    Text text;
    size_t replacement_length;
    size_t result_length;  // 0: the text comes back unchanged
  } rows[] = {
      {"reaches_cap", u"aaaa", quarter, cap},
      {"passes_cap", u"aaaa", quarter + 1, 0},
      {"input_beyond_cap_may_keep_its_length", Text(cap + 8, u'x') + u"a", 1, cap + 9},
      {"input_beyond_cap_may_not_grow", Text(cap + 8, u'x') + u"a", 2, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Text replacement(row.replacement_length, u'b');
    const Text result = StrReplaceRepeat(Variant(row.text), u"a", replacement);
    if (row.result_length != 0) {
      EXPECT_EQ(result.size(), row.result_length);
      EXPECT_EQ(result.find(u'a'), Text::npos);
    } else {
      EXPECT_EQ(result, row.text);
    }
  }
}

// Many passes over long texts: each row ends (or gives up) with the result
// the passes define, however many units a pass would have to look at.
TEST(StrReplaceRepeat, ManyPassesOverLongTexts) {
  // Work bound: "b" followed by k units "a", "ba" -> "ab", takes k passes over
  // k + 1 units; k (k + 1) <= 2^28 exactly for k <= 16383.
  const Text work_met = u"b" + Text(16383, u'a');
  const Text work_passed = u"b" + Text(16384, u'a');
  const struct {
    const char* label;
    Text text;
    Text find;
    Text replacement;
    Text expected;
  } rows[] = {
      {"work_bound_met", work_met, u"ba", u"ab", Text(16383, u'a') + u"b"},
      {"work_bound_passed_gives_up", work_passed, u"ba", u"ab", work_passed},
      // Shrinking has no work bound: one unit less a pass, 200,000 passes.
      {"shrinks_one_unit_a_pass", Text(200000, u'a') + u"b", u"ab", u"b", u"b"},
      {"removal_nested_deep", Text(100000, u'(') + Text(100000, u')'), u"()", u"", u""},
      {"blank_run_of_a_million", u"x" + Text(1000000, u' ') + u"y", u"  ", u" ", u"x y"},
      // A find text whose occurrences overlap themselves.
      {"self_overlapping_find", Text(99999, u'a'), u"aaa", u"a", u"a"},
      {"self_overlapping_find_even", Text(100000, u'a'), u"aaa", u"a", u"aa"},
      // The fuzz finding: "Na" -> "aNNN" moves every "a" left past each "N"
      // while adding two; it would end, but only after far more work than the
      // bound allows.
      {"growth_past_work_bound", u"aaaaaNaNNaNaaaaaNNNNNNaaaaaNNNNNNNN,aaN,N", u"Na", u"aNNN",
       u"aaaaaNaNNaNaaaaaNNNNNNaaaaaNNNNNNNN,aaN,N"},
      {"growth_that_ends", u"NNNNa", u"Na", u"aNNN", u"a" + Text(12, u'N')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(StrReplaceRepeat(Variant(row.text), row.find, row.replacement), row.expected);
  }
}

// The passes as they are defined, one whole-text pass at a time: what the
// member must agree with on every small case.
std::optional<Text> DefinedPasses(Text s, const Text& find, const Text& replacement) {
  for (int pass = 0; pass < 64 && s.size() < 4096; ++pass) {
    Text next;
    size_t from = 0, at = s.find(find);
    if (at == Text::npos) return s;
    for (; at != Text::npos; at = s.find(find, from)) {
      next.append(s, from, at - from).append(replacement);
      from = at + find.size();
    }
    s = next.append(s, from, Text::npos);
  }
  return std::nullopt;  // runs on: left to the bound rows above
}

Text Spelled(unsigned bits, size_t length) {
  Text out;
  for (size_t i = 0; i < length; ++i) out.push_back((bits >> i) & 1 ? u'b' : u'a');
  return out;
}

TEST(StrReplaceRepeat, AgreesWithWholeTextPassesOnEverySmallCase) {
  // Every text of up to 8 units over {a, b}, every find text of 1 to 3 units,
  // every replacement of 0 to 4 units that does not contain it.
  std::vector<Text> finds, replacements;
  for (size_t length = 0; length <= 4; ++length) {
    for (unsigned bits = 0; bits < (1u << length); ++bits) {
      if (length >= 1 && length <= 3) finds.push_back(Spelled(bits, length));
      replacements.push_back(Spelled(bits, length));
    }
  }
  int compared = 0;
  for (const Text& find : finds) {
    for (const Text& replacement : replacements) {
      if (replacement.find(find) != Text::npos) continue;
      for (size_t length = 0; length <= 8; ++length) {
        for (unsigned bits = 0; bits < (1u << length); ++bits) {
          const Text text = Spelled(bits, length);
          const std::optional<Text> expected = DefinedPasses(text, find, replacement);
          if (!expected) continue;
          ++compared;
          const Text result = StrReplaceRepeat(Variant(text), find, replacement);
          if (result != *expected) {
            ADD_FAILURE() << ToUtf8(text) << " find " << ToUtf8(find) << " replace "
                          << ToUtf8(replacement) << ": " << ToUtf8(result) << ", expected "
                          << ToUtf8(*expected);
          }
        }
      }
    }
  }
  EXPECT_GT(compared, 100000);
}

TEST(StrReplaceRepeat, TextWithoutTextFormFails) {
  const struct {
    const char* label;
    Variant text;
    int error;
  } rows[] = {
      {"null", Variant(NullValue{}), 94},
      {"null_with_empty_find", Variant(NullValue{}), 94},
      {"byte_array", Variant(ByteArray::WithoutBounds()), 13},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { StrReplaceRepeat(row.text, u"a", u""); }), row.error);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::text
