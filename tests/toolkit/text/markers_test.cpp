#include "toolkit/text/markers.h"

#include <gtest/gtest.h>

namespace kavrolin::toolkit::text {
namespace {

TEST(StrDelimiter, TextBetweenMarkers) {
  const struct {
    const char* label;
    Variant text;
    Text open;
    Text close;
    Text expected;
  } rows[] = {
      {"empty_text", Variant(u""), u"[", u"]", u""},
      {"empty_text_empty_markers", Variant(u""), u"", u"", u""},
      {"both_markers_empty", Variant(u"abc"), u"", u"", u""},
      {"empty_open_takes_text_before_close", Variant(u"ab>c>"), u"", u">", u"ab"},
      {"empty_close_found_on_open_marker", Variant(u"a[b]"), u"[", u"", u""},
      {"adjacent_markers_give_empty", Variant(u"x[]y"), u"[", u"]", u""},
      {"markers_at_both_ends", Variant(u"[abc]"), u"[", u"]", u"abc"},
      {"no_open_marker", Variant(u"abc]"), u"[", u"]", u""},
      {"no_close_marker", Variant(u"[abc"), u"[", u"]", u""},
      {"close_only_before_open", Variant(u"]a[b"), u"[", u"]", u""},
      {"identical_markers", Variant(u"#a#b#"), u"#", u"#", u""},
      {"first_pair", Variant(u"a<b>c<d>"), u"<", u">", u"b"},
      {"name_value", Variant(u"name=[abc] x"), u"[", u"]", u"abc"},
      {"multi_unit_markers", Variant(u"x<<in>>y"), u"<<", u">>", u"in"},
      {"close_overlapping_open", Variant(u"aXYb"), u"XY", u"Y", u""},
      {"case_matters", Variant(u"aBcb"), u"b", u"c", u""},
      {"chinese_markers", Variant(u"金额【12.50】元"), u"【", u"】", u"12.50"},
      {"number_in_text_form", Variant(int32_t{71234}), u"1", u"4", u"23"},
      {"null_gives_empty", Variant(NullValue{}), u"", u"", u""},
      {"array_gives_empty", Variant(ByteArray{true, 0, {1}}), u"", u"", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(StrDelimiter(row.text, row.open, row.close), row.expected);
  }
}

}  // namespace
}  // namespace kavrolin::toolkit::text
