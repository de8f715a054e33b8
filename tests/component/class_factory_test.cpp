#include "component/class_factory.h"

#include <gtest/gtest.h>

#include "fakes/services_in_prefix.h"
#include "support/error_of.h"

namespace kavrolin::component {
namespace {

TEST(ClassFactory, CreatesByNameProgIdOrClsid) {
  testing::ServicesInPrefix env;
  ClassFactory factory(env.services);
  const struct {
    const char* label;
    Text name;
    int error;
    ClassKind kind;
  } rows[] = {
      {"empty", u"", 429, ClassKind::kHT},
      {"unknown", u"Kavrolin.clsNothing", 429, ClassKind::kHT},
      {"interface_id_is_no_class", u"{E82E406F-A143-4E7F-943B-857ACCC0B15C}", 429, ClassKind::kHT},
      {"class_name", u"clsInterFace", 0, ClassKind::kInterFace},
      {"prog_id_any_case", u"KAVROLIN.CLS_RIZHI", 0, ClassKind::kRizhi},
      {"clsid", u"{8B834EB1-A42C-40CA-8B86-DAEFBCE66A39}", 0, ClassKind::kHT},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ObjectRef object;
    EXPECT_EQ(testing::ErrorOf([&] { object = factory.Create(row.name); }), row.error);
    EXPECT_EQ(static_cast<bool>(object), row.error == 0);
    if (object) {
      EXPECT_EQ(object->class_info().kind, row.kind);
    }
  }
  ASSERT_NE(FindClass(u"clsHT"), nullptr);
  EXPECT_EQ(factory.Create(FindClass(u"clsHT")->clsid)->class_info().kind, ClassKind::kHT);
}

TEST(ClassFactory, CountsObjectsAndLocks) {
  testing::ServicesInPrefix env;
  ClassFactory factory(env.services);
  EXPECT_TRUE(factory.CanUnloadNow());
  ObjectRef a = factory.Create(u"clsHT");
  ObjectRef b = factory.Create(u"clsInterFace");
  ObjectRef a_again = a;  // another reference, not another object
  EXPECT_EQ(factory.live_objects(), 2);
  EXPECT_FALSE(factory.CanUnloadNow());
  a.Reset();
  EXPECT_EQ(factory.live_objects(), 2);
  a_again.Reset();
  b.Reset();
  EXPECT_EQ(factory.live_objects(), 0);
  EXPECT_TRUE(factory.CanUnloadNow());

  factory.LockServer(true);
  factory.LockServer(true);
  EXPECT_FALSE(factory.CanUnloadNow());
  factory.LockServer(false);
  EXPECT_EQ(factory.locks(), 1);
  factory.LockServer(false);
  factory.LockServer(false);  // unbalanced: stays at zero
  EXPECT_EQ(factory.locks(), 0);
  EXPECT_TRUE(factory.CanUnloadNow());
}

TEST(ClassFactory, ObjectsOutliveTheFactory) {
  testing::ServicesInPrefix env;
  ObjectRef object;
  {
    ClassFactory factory(env.services);
    object = factory.Create(u"clsInterFace");
  }
  Arguments args{Variant(Text(u"42"))};
  EXPECT_FALSE(object->Invoke(u"m_strSY", MemberKind::kPropertyPut, args).error);
  Arguments none;
  EXPECT_EQ(object->Invoke(u"GetSY", MemberKind::kMethod, none).value, Variant(Text(u"42")));
}

// Each row reaches its member: whatever a member makes of "1", the call is
// never refused by the shell as unknown, not supported or miscounted.
TEST(HTObject, EveryMemberOfTheTableRuns) {
  testing::ServicesInPrefix env;
  ClassFactory factory(env.services);
  ObjectRef object = factory.Create(u"clsHT");
  for (const Member& member : object->table().members()) {
    SCOPED_TRACE(ToUtf8(member.name));
    Arguments args(member.params.size(), Variant(Text(u"1")));
    for (size_t i = 0; i < member.params.size(); ++i) {
      if (member.params[i].type == DeclaredType::kByteArray) args[i] = Variant(ByteArray{});
      if (member.params[i].type == DeclaredType::kTextArray) args[i] = Variant(TextArray{});
    }
    const InvokeResult result = object->Invoke(member.dispid, member.kind, args);
    const int32_t number = result.error ? result.error->number() : 0;
    for (int32_t refused : {kMemberNotFound, kActionNotSupported, kArgumentNotOptional, kWrongArgumentCount}) {
      EXPECT_NE(number, refused);
    }
  }
}

}  // namespace
}  // namespace kavrolin::component
