#include "component/dispatch.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin::component {
namespace {

using T = DeclaredType;

TEST(Coerce, AsAutomationChangesTypes) {
  const struct {
    const char* label;
    Variant value;
    DeclaredType type;
    Variant expected;  // ignored when error is set
    int error;
  } rows[] = {
      {"empty_to_text", Variant(), T::kText, Text(), 0},
      {"empty_to_int", Variant(), T::kInt32, int32_t{0}, 0},
      {"null_to_text", NullValue{}, T::kText, {}, 94},
      {"int16_overflow", Text(u"32768"), T::kInt16, {}, 6},
      {"int16_lowest", Text(u"-32768"), T::kInt16, int16_t{-32768}, 0},
      {"int32_half_to_even", 2.5, T::kInt32, int32_t{2}, 0},
      {"int32_overflow", 2147483648.0, T::kInt32, {}, 6},
      {"text_not_number", Text(u"abc"), T::kDouble, {}, 13},
      {"text_to_double", Text(u" 12.5 "), T::kDouble, 12.5, 0},
      {"hex_text_to_int", Text(u"&HFFFF"), T::kInt32, int32_t{-1}, 0},
      {"bool_to_text", true, T::kText, Text(u"True"), 0},
      {"text_to_bool", Text(u"false"), T::kBool, false, 0},
      {"number_text_to_bool", Text(u"2"), T::kBool, true, 0},
      {"double_to_text", 0.5, T::kText, Text(u"0.5"), 0},
      {"exit_mode_from_text", Text(u"2"), T::kExitMode, int32_t{2}, 0},
      {"spec_folder_from_double", 1.0, T::kSpecFolder, int32_t{1}, 0},
      {"variant_keeps_null", NullValue{}, T::kVariant, NullValue{}, 0},
      {"variant_keeps_int16", int16_t{7}, T::kVariant, int16_t{7}, 0},
      {"text_to_text_array", Text(u"a"), T::kTextArray, {}, 13},
      {"bytes_to_text_array", ByteArray{true, 0, {1}}, T::kTextArray, {}, 13},
      {"texts_to_byte_array", TextArray{true, 0, {u"a"}}, T::kByteArray, {}, 13},
      {"array_to_text", TextArray{true, 0, {u"a"}}, T::kText, {}, 13},
      {"unbounded_text_array", TextArray::WithoutBounds(), T::kTextArray, TextArray::WithoutBounds(), 0},
      {"byte_array_keeps_lbound", ByteArray{true, 5, {1, 2}}, T::kByteArray, ByteArray{true, 5, {1, 2}}, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Variant got;
    EXPECT_EQ(testing::ErrorOf([&] { got = Coerce(row.value, row.type); }), row.error);
    if (row.error == 0) {
      EXPECT_EQ(got, row.expected);
    }
  }
}

// An object with a table of its own, to exercise dispatch itself.
const MemberTable& ProbeTable() {
  static const MemberTable table(
      u"Probe",
      {
          {u"Echo", 1, MemberKind::kMethod,
           {{u"a", T::kText, Direction::kIn, false, {}},
            {u"b", T::kInt16, Direction::kInOut, false, {}},
            {u"c", T::kBool, Direction::kInOut, true, true},
            {u"d", T::kInt32, Direction::kIn, true, {}}},
           T::kText},
          {u"Swap", 2, MemberKind::kMethod,
           {{u"texts", T::kTextArray, Direction::kInOut, false, {}},
            {u"bytes", T::kByteArray, Direction::kInOut, false, {}}},
           T::kBool},
          {u"DropCaller", 3, MemberKind::kMethod, {}, T::kText},
          {u"Value", 4, MemberKind::kPropertyPut, {{u"v", T::kText, Direction::kIn, false, {}}}, T::kNone},
          {u"Value", 4, MemberKind::kPropertyGet, {}, T::kText},
      });
  return table;
}

class Probe : public DispatchObject {
 public:
  explicit Probe(bool* destroyed) : DispatchObject(ClassKind::kHT, &ProbeTable()), destroyed_(destroyed) {}
  ~Probe() override { *destroyed_ = true; }

  ObjectRef* caller = nullptr;  // the caller's reference, dropped by DropCaller

 protected:
  Variant Call(const Member& member, CallArgs& args) override {
    switch (member.dispid) {
      case 1: {
        // Reports what arrived, then writes the in/out parameters.
        const Text seen = args.text(0) + u"|" + Variant(args.int16(1)).ToText() + u"|" +
                          Variant(args.boolean(2)).ToText() + (args.supplied(2) ? u"" : u"(default)") + u"|" +
                          Variant(args.int32(3)).ToText() + (args.supplied(3) ? u"" : u"(default)");
        args[1] = static_cast<int16_t>(args.int16(1) + 1);
        args[2] = !args.boolean(2);
        if (args.text(0) == u"fail") throw AutomationError(ErrorNumber::kInvalidCall);
        return seen;
      }
      case 2: {
        TextArray texts = args[0].get<TextArray>();
        ByteArray bytes = args[1].get<ByteArray>();
        texts.items.push_back(u"added");
        bytes.items.push_back(0xFF);
        args[0] = texts;
        args[1] = bytes;
        return true;
      }
      case 3:
        caller->Reset();
        return value_;  // still alive: the call holds its own reference
      case 4:
        if (member.kind == MemberKind::kPropertyPut) {
          value_ = args.text(0);
          return Variant();
        }
        return value_;
    }
    throw std::runtime_error("unreachable");
  }

 private:
  bool* destroyed_;
  Text value_ = u"alive";
};

TEST(Dispatch, ArgumentsCountsDefaultsAndWriteBack) {
  const struct {
    const char* label;
    Arguments args;
    int error;
    Text result;
    Arguments after;
  } rows[] = {
      {"none_passed", {}, 449, u"", {}},
      {"required_left_out", {Variant(Text(u"x")), std::nullopt}, 449, u"", {Variant(Text(u"x")), std::nullopt}},
      {"too_many", {Text(u"x"), 1.0, true, 1.0, 1.0}, 450, u"", {Text(u"x"), 1.0, true, 1.0, 1.0}},
      {"coercion_fails_before_run", {Text(u"x"), Text(u"abc")}, 13, u"", {Text(u"x"), Text(u"abc")}},
      {"overflow_before_run", {Text(u"x"), 40000.0}, 6, u"", {Text(u"x"), 40000.0}},
      {"trailing_optionals_defaulted", {Text(u"x"), 1.0}, 0, u"x|1|True(default)|0(default)",
       {Text(u"x"), int16_t{2}}},
      {"omitted_optional_in_middle", {Text(u"x"), Text(u"7"), std::nullopt, Text(u"9")}, 0,
       u"x|7|True(default)|9", {Text(u"x"), int16_t{8}, std::nullopt, Text(u"9")}},
      {"all_passed_coerced", {2.5, Text(u"3"), Text(u"0"), 4.0}, 0, u"2.5|3|False|4",
       {2.5, int16_t{4}, true, 4.0}},
      {"written_back_on_failure", {Text(u"fail"), 1.0, false}, 5, u"", {Text(u"fail"), int16_t{2}, true}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    bool destroyed = false;
    ObjectRef object = MakeObject<Probe>(&destroyed);
    Arguments args = row.args;
    const InvokeResult result = object->Invoke(1, MemberKind::kMethod, args);
    EXPECT_EQ(result.error ? result.error->number() : 0, row.error);
    EXPECT_EQ(result.value, row.error ? Variant() : Variant(row.result));
    EXPECT_EQ(args, row.after);
  }
}

TEST(Dispatch, ArraysWrittenBackWithTheirBounds) {
  bool destroyed = false;
  ObjectRef object = MakeObject<Probe>(&destroyed);
  Arguments args{Variant(TextArray{true, -2, {u"a"}}), Variant(ByteArray::WithoutBounds())};
  const InvokeResult result = object->Invoke(u"SWAP", MemberKind::kMethod, args);
  ASSERT_FALSE(result.error);
  EXPECT_EQ(args[0], Variant(TextArray{true, -2, {u"a", u"added"}}));
  EXPECT_EQ(args[1], Variant(ByteArray{false, 0, {0xFF}}));

  Arguments wrong{Variant(ByteArray{true, 0, {}}), Variant(ByteArray{true, 0, {}})};
  const InvokeResult mismatch = object->Invoke(2, MemberKind::kMethod, wrong);
  ASSERT_TRUE(mismatch.error);
  EXPECT_EQ(mismatch.error->number(), 13);
}

TEST(Dispatch, UnknownMembersAndKinds) {
  const struct {
    const char* label;
    Text name;
    MemberKind kind;
    size_t arg_count;
    int error;
  } rows[] = {
      {"empty_name", u"", MemberKind::kMethod, 0, 438},
      {"unknown", u"Nope", MemberKind::kMethod, 0, 438},
      {"put_on_method", u"DropCaller", MemberKind::kPropertyPut, 1, 438},
      {"put_without_value", u"Value", MemberKind::kPropertyPut, 0, 449},
      {"get_with_argument", u"Value", MemberKind::kPropertyGet, 1, 450},
      {"method_reaches_get", u"value", MemberKind::kMethod, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    bool destroyed = false;
    ObjectRef object = MakeObject<Probe>(&destroyed);
    Arguments args(row.arg_count, Variant(Text(u"v")));
    const InvokeResult result = object->Invoke(row.name, row.kind, args);
    EXPECT_EQ(result.error ? result.error->number() : 0, row.error);
  }
  bool destroyed = false;
  ObjectRef object = MakeObject<Probe>(&destroyed);
  Arguments none;
  EXPECT_EQ(object->Invoke(0x7FFF, MemberKind::kMethod, none).error->number(), 438);
}

TEST(Dispatch, PropertyPutThenGet) {
  bool destroyed = false;
  ObjectRef object = MakeObject<Probe>(&destroyed);
  Arguments value{Variant(12.5)};
  ASSERT_FALSE(object->Invoke(u"Value", MemberKind::kPropertyPut, value).error);
  Arguments none;
  EXPECT_EQ(object->Invoke(4, MemberKind::kPropertyGet, none).value, Variant(Text(u"12.5")));
}

TEST(Dispatch, CallHoldsItsOwnReference) {
  bool destroyed = false;
  ObjectRef object = MakeObject<Probe>(&destroyed);
  auto* probe = static_cast<Probe*>(object.get());
  probe->caller = &object;
  Arguments none;
  const InvokeResult result = probe->Invoke(u"DropCaller", MemberKind::kMethod, none);
  EXPECT_FALSE(result.error);
  EXPECT_EQ(result.value, Variant(Text(u"alive")));
  EXPECT_TRUE(destroyed);  // the call's reference was the last one
  EXPECT_FALSE(object);
}

TEST(ObjectRef, CountsReferences) {
  bool destroyed = false;
  ObjectRef first = MakeObject<Probe>(&destroyed);
  {
    ObjectRef copy = first;
    EXPECT_EQ(copy->AddRef(), 3u);
    EXPECT_EQ(copy->Release(), 2u);
    ObjectRef moved = std::move(copy);
    EXPECT_FALSE(copy);
  }
  EXPECT_FALSE(destroyed);
  first.Reset();
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace kavrolin::component
