#include "component/inter_face_object.h"

#include <gtest/gtest.h>

#include "component/class_factory.h"
#include "component/class_tables.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::component {
namespace {

Variant Call(DispatchObject& object, TextView name, Arguments args = {}) {
  const InvokeResult result = object.Invoke(name, MemberKind::kMethod, args);
  EXPECT_FALSE(result.error) << ToUtf8(name);
  return result.value;
}

TEST(InterFaceObject, NewObjectIsEmptyEverywhere) {
  testing::ServicesInPrefix env;
  ObjectRef object = ClassFactory(env.services).Create(u"clsInterFace");
  for (const Member& member : object->table().members()) {
    if (member.kind == MemberKind::kPropertyPut || !member.params.empty() ||
        member.result != DeclaredType::kText) {
      continue;
    }
    SCOPED_TRACE(ToUtf8(member.name));
    Arguments none;
    EXPECT_EQ(object->Invoke(member.dispid, member.kind, none).value, Variant(Text()));
  }
}

TEST(InterFaceObject, PropertyPutChangesWhatGettersReturn) {
  const struct {
    const char* label;
    Text property;
    Text getter;
    Variant value;
    Text expected;
  } rows[] = {
      {"empty_text", u"m_strCardNo", u"GetCardNo", Text(), u""},
      {"card_number", u"m_strCardNo", u"GetCardNo", Text(u"6222 0000"), u"6222 0000"},
      {"number_coerced_to_text", u"m_strCardMoney", u"GetCardMoney", 12.5, u"12.5"},
      {"boolean_coerced", u"m_strFanhui", u"GetFanhui", true, u"True"},
      {"index", u"M_STRSY", u"getsy", Text(u"000001"), u"000001"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    testing::ServicesInPrefix env;
    ObjectRef object = ClassFactory(env.services).Create(u"clsInterFace");
    Arguments put{row.value};
    ASSERT_FALSE(object->Invoke(row.property, MemberKind::kPropertyPut, put).error);
    EXPECT_EQ(Call(*object, row.getter), Variant(row.expected));
    Arguments none;
    EXPECT_EQ(object->Invoke(row.property, MemberKind::kPropertyGet, none).value, Variant(row.expected));
  }
}

TEST(InterFaceObject, SaleThroughDispatchSendsTheRequest) {
  const struct {
    const char* label;
    Arguments args;
    std::string request;  // empty: nothing reaches the terminal
  } rows[] = {
      {"fraction_of_a_hundredth_refused", {Text(u"12.345"), 1.0, Text(u"01"), Text(u"A1")}, ""},
      {"text_amount_and_invoice_coerced", {Text(u"12.34"), Text(u"123"), Text(u"01"), Text(u"A1")},
       "05000000001234123             01      A1      "},
      {"numbers_for_text_fields", {12.34, 123.0, 1.0, 2.0}, "05000000001234123             1       2       "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    testing::ServicesInPrefix env;
    env.terminal->response = "6222021234567890   000000001234000000123456";
    ObjectRef object = ClassFactory(env.services).Create(u"Kavrolin.clsInterFace");
    const Variant ok = Call(*object, u"Sale", row.args);
    if (row.request.empty()) {
      EXPECT_EQ(ok, Variant(false));
      EXPECT_TRUE(env.terminal->requests.empty());
      continue;
    }
    EXPECT_EQ(ok, Variant(true));
    ASSERT_EQ(env.terminal->requests.size(), 1u);
    EXPECT_EQ(env.terminal->requests[0].size(), 46u);
    EXPECT_EQ(env.terminal->requests[0], row.request);
    EXPECT_EQ(Call(*object, u"GetFanhui"), Variant(Text(u"1")));
    EXPECT_EQ(Call(*object, u"GetCardNo"), Variant(Text(u"6222021234567890   ")));
    EXPECT_EQ(Call(*object, u"GetCardMoney"), Variant(Text(u"12.34")));
    EXPECT_EQ(Call(*object, u"GetSY"), Variant(Text(u"123456")));
  }
}

TEST(InterFaceObject, GetPrintTxtWritesTheLinesBack) {
  testing::ServicesInPrefix env;
  ObjectRef object = ClassFactory(env.services).Create(u"clsInterFace");
  Call(*object, u"Initialize", {Variant(Text(u"C:\\POS"))});
  testing::WriteHostFile(env.C("POS/toprint.txt"), "line one\r\nline two\r\n");
  Arguments args{Variant(TextArray{true, 3, {u"old"}})};
  const InvokeResult result = object->Invoke(inter_face_id::GetPrintTxt, MemberKind::kMethod, args);
  ASSERT_FALSE(result.error);
  EXPECT_EQ(result.value, Variant(true));
  ASSERT_TRUE(args[0]);
  const TextArray* lines = args[0]->get_if<TextArray>();
  ASSERT_NE(lines, nullptr);
  ASSERT_GE(lines->items.size(), 3u);
  EXPECT_EQ(lines->items[1], u"line one");
  EXPECT_EQ(lines->items[2], u"line two");
  EXPECT_FALSE(std::filesystem::exists(env.C("POS/toprint.txt")));

  Arguments not_array{Variant(Text(u"x"))};
  const InvokeResult mismatch = object->Invoke(inter_face_id::GetPrintTxt, MemberKind::kMethod, not_array);
  ASSERT_TRUE(mismatch.error);
  EXPECT_EQ(mismatch.error->number(), 13);
}

TEST(InterFaceObject, TwoObjectsKeepSeparateFields) {
  testing::ServicesInPrefix env;
  env.terminal->response = "1111222233334444   000000000100000000000007";
  ClassFactory factory(env.services);
  ObjectRef first = factory.Create(u"clsInterFace");
  ObjectRef second = factory.Create(u"clsInterFace");
  EXPECT_EQ(Call(*first, u"Sale", {1.0, 1.0, Text(u"01"), Text(u"A1")}), Variant(true));
  EXPECT_EQ(Call(*first, u"GetCardNo"), Variant(Text(u"1111222233334444   ")));
  EXPECT_EQ(Call(*second, u"GetCardNo"), Variant(Text()));
  EXPECT_EQ(Call(*second, u"GetFanhui"), Variant(Text()));
}

TEST(RizhiObject, WriteLogThroughDispatch) {
  testing::ServicesInPrefix env;
  ObjectRef object = ClassFactory(env.services).Create(u"cls_Rizhi");
  EXPECT_EQ(Call(*object, u"writelog", {Variant(Text(u"hello"))}), Variant(true));
  EXPECT_EQ(testing::ReadHostFile(env.C("YHLOG/20240131.txt")), "2024-01-31 14:05:09 hello\r\n");
  Arguments none;
  EXPECT_EQ(object->Invoke(u"WriteLog", MemberKind::kMethod, none).error->number(), 449);
}

}  // namespace
}  // namespace kavrolin::component
