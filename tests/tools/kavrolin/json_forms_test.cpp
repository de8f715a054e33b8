#include "kavrolin/json_forms.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin::cli {
namespace {

using json = nlohmann::ordered_json;

TEST(JsonForms, ValuesToJson) {
  const struct {
    const char* label;
    Variant value;
    std::string json;
  } rows[] = {
      {"empty", Variant(), "null"},
      {"null", NullValue{}, R"({"null":true})"},
      {"int16_lowest", int16_t{-32768}, "-32768"},
      {"int32", int32_t{2147483647}, "2147483647"},
      {"double", 0.5, "0.5"},
      {"bool", false, "false"},
      {"nul_in_text", Text(u"a\0b", 3), R"("a\u0000b")"},
      {"chinese", Text(u"收银"), "\"收银\""},
      {"date_first_day", Date{-657434}, R"({"date":"0100-01-01 00:00:00"})"},
      {"date_last_second", Date{2958465 + 86399 / 86400.0}, R"({"date":"9999-12-31 23:59:59"})"},
      {"date", Date{45322.5}, R"({"date":"2024-01-31 12:00:00"})"},
      {"date_each_field_padded", Date{45356 + 25689 / 86400.0}, R"({"date":"2024-03-05 07:08:09"})"},
      {"date_milliseconds_cut", Date{45322.5 + 0.9 / 86400}, R"({"date":"2024-01-31 12:00:00"})"},
      {"texts_unbounded", TextArray::WithoutBounds(), R"({"texts":null})"},
      {"texts_empty", TextArray{true, 0, {}}, R"({"texts":[],"lbound":0})"},
      {"texts", TextArray{true, 1, {u"a", u""}}, R"({"texts":["a",""],"lbound":1})"},
      {"bytes", ByteArray{true, -1, {0, 255}}, R"({"bytes":[0,255],"lbound":-1})"},
      {"bytes_unbounded", ByteArray::WithoutBounds(), R"({"bytes":null})"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Dump(ToJson(row.value)), row.json);
  }
}

TEST(JsonForms, ArgumentsFromJson) {
  const struct {
    const char* label;
    std::string json;
    int error;
    std::optional<Variant> expected;
  } rows[] = {
      {"omit", R"({"omit":true})", 0, std::nullopt},
      {"omit_false_is_no_form", R"({"omit":false})", 5, {}},
      {"empty_object", "{}", 5, {}},
      {"plain_array", "[1]", 5, {}},
      {"byte_out_of_range", R"({"bytes":[256]})", 5, {}},
      {"byte_negative", R"({"bytes":[-1]})", 5, {}},
      {"texts_with_number", R"({"texts":[1]})", 5, {}},
      {"lbound_fraction", R"({"texts":[],"lbound":0.5})", 5, {}},
      {"both_arrays", R"({"texts":[],"bytes":[]})", 5, {}},
      {"null", "null", 0, Variant(NullValue{})},
      {"null_form", R"({"null":true})", 0, Variant(NullValue{})},
      {"string", R"("a\u0000收")", 0, Variant(Text(u"a\0收", 3))},
      {"integer_is_double", "7", 0, Variant(7.0)},
      {"bool", "true", 0, Variant(true)},
      {"bytes", R"({"bytes":[1,2],"lbound":3})", 0, Variant(ByteArray{true, 3, {1, 2}})},
      {"bytes_default_lbound", R"({"bytes":[]})", 0, Variant(ByteArray{true, 0, {}})},
      {"bytes_unbounded", R"({"bytes":null})", 0, Variant(ByteArray::WithoutBounds())},
      {"texts", R"({"texts":["x"],"lbound":0})", 0, Variant(TextArray{true, 0, {u"x"}})},
      {"texts_unbounded", R"({"texts":null})", 0, Variant(TextArray::WithoutBounds())},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::optional<Variant> got;
    EXPECT_EQ(testing::ErrorOf([&] { got = ArgumentFromJson(json::parse(row.json)); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(got, row.expected);
      // What was read is written back in the same form.
      if (got && !got->is_null() && got->type() != VariantType::kDouble) {
        EXPECT_EQ(ArgumentFromJson(ToJson(got)), got);
      }
    }
  }
}

}  // namespace
}  // namespace kavrolin::cli
