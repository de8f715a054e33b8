#include "component/bound_member.h"

#include <gtest/gtest.h>

namespace kavrolin::component {
namespace {

// A logic class whose members change their by-reference parameters, one of
// them before it fails.
class Counter {
 public:
  Text Move(Text& from, const Text& label, int32_t& count) {
    count += 1;
    from += u"!";
    return label + from;
  }
  void Spoil(Text& kept, int16_t& left) {
    kept = u"spoilt";
    left = 0;
    throw AutomationError(ErrorNumber::kOverflow);
  }
  int32_t Total() const { return total_; }
  bool Held(const Variant& value, double& twice) {
    twice = value.ToDouble() * 2;
    return value.is_null();
  }

 private:
  int32_t total_ = 41;
};

CallArgs ArgsOf(std::vector<Variant> values) {
  std::vector<bool> supplied(values.size(), true);
  return CallArgs(std::move(values), std::move(supplied));
}

TEST(BoundMember, ReferenceParametersComeBackAndOthersStay) {
  Counter object;
  const auto move = BoundMember<Counter>::Of<&Counter::Move>();
  CallArgs args = ArgsOf({Variant(u"a"), Variant(u"to "), Variant(int32_t{7})});
  EXPECT_EQ(move(object, args), Variant(u"to a!"));
  EXPECT_EQ(args[0], Variant(u"a!"));
  EXPECT_EQ(args[1], Variant(u"to "));
  EXPECT_EQ(args[2], Variant(int32_t{8}));

  const auto held = BoundMember<Counter>::Of<&Counter::Held>();
  CallArgs null_args = ArgsOf({Variant(NullValue{}), Variant(1.5)});
  EXPECT_THROW(held(object, null_args), AutomationError);  // Null has no number
  CallArgs number_args = ArgsOf({Variant(int16_t{4}), Variant(1.5)});
  EXPECT_EQ(held(object, number_args), Variant(false));
  EXPECT_EQ(number_args[0], Variant(int16_t{4}));
  EXPECT_EQ(number_args[1], Variant(8.0));
}

TEST(BoundMember, WhatAFailingMemberLeftComesBackWithItsError) {
  Counter object;
  const auto spoil = BoundMember<Counter>::Of<&Counter::Spoil>();
  CallArgs args = ArgsOf({Variant(u"fresh"), Variant(int16_t{3})});
  try {
    spoil(object, args);
    ADD_FAILURE() << "Spoil returned";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 6);
  }
  EXPECT_EQ(args[0], Variant(u"spoilt"));
  EXPECT_EQ(args[1], Variant(int16_t{0}));
}

TEST(BoundMember, ConstMembersAndArgumentCounts) {
  Counter object;
  const auto total = BoundMember<Counter>::Of<&Counter::Total>();
  CallArgs none = ArgsOf({});
  EXPECT_EQ(total(object, none), Variant(int32_t{41}));
  CallArgs one_too_many = ArgsOf({Variant(u"x")});
  try {
    total(object, one_too_many);
    ADD_FAILURE() << "Total took an argument";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), kWrongArgumentCount);
  }
}

TEST(BoundMember, SignatureIsTheRowTheFunctionWouldHave) {
  using P = Signature::Param;
  const struct {
    const char* label;
    Signature bound;
    Signature expected;
  } rows[] = {
      {"no parameters, const", BoundMember<Counter>::Of<&Counter::Total>().signature(),
       {{}, DeclaredType::kInt32}},
      {"in/out, in, in/out", BoundMember<Counter>::Of<&Counter::Move>().signature(),
       {{P{DeclaredType::kText, Direction::kInOut}, P{DeclaredType::kText, Direction::kIn},
         P{DeclaredType::kInt32, Direction::kInOut}},
        DeclaredType::kText}},
      {"nothing returned", BoundMember<Counter>::Of<&Counter::Spoil>().signature(),
       {{P{DeclaredType::kText, Direction::kInOut}, P{DeclaredType::kInt16, Direction::kInOut}},
        DeclaredType::kNone}},
      {"a variant in", BoundMember<Counter>::Of<&Counter::Held>().signature(),
       {{P{DeclaredType::kVariant, Direction::kIn}, P{DeclaredType::kDouble, Direction::kInOut}},
        DeclaredType::kBool}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(row.bound, row.expected);
  }
}

TEST(BoundMember, RowSignatureCarriesEnumerationsAsIntegers) {
  const Member row{u"ExitWindows", 1, MemberKind::kMethod,
                   {Parameter{u"mode", DeclaredType::kExitMode, Direction::kIn, false, {}},
                    Parameter{u"folder", DeclaredType::kSpecFolder, Direction::kInOut, true, {}}},
                   DeclaredType::kVariant};
  const Signature expected{{{DeclaredType::kInt32, Direction::kIn}, {DeclaredType::kInt32, Direction::kInOut}},
                           DeclaredType::kVariant};
  EXPECT_EQ(SignatureOf(row), expected);
}

}  // namespace
}  // namespace kavrolin::component
