#include "component/ht_object.h"

#include <gtest/gtest.h>

#include "component/class_factory.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::component {
namespace {

class HTObjectTest : public ::testing::Test {
 protected:
  HTObjectTest() : factory_(env_.services), object_(factory_.Create(u"Kavrolin.clsHT")) {}
  InvokeResult Call(const char16_t* name, Arguments& args, MemberKind kind = MemberKind::kMethod) {
    return object_->Invoke(name, kind, args);
  }

  testing::ServicesInPrefix env_;
  ClassFactory factory_;
  ObjectRef object_;
};

TEST_F(HTObjectTest, PropertiesAndInOutWriteBack) {
  Arguments put{Variant(u"C:\\app.ini")};
  ASSERT_FALSE(Call(u"INIFile", put, MemberKind::kPropertyPut).error);
  Arguments none;
  EXPECT_EQ(Call(u"inifile", none, MemberKind::kPropertyGet).value, Variant(u"C:\\app.ini"));

  Arguments set{Variant(u"主"), Variant(u"k"), Variant(u"v")};
  EXPECT_EQ(Call(u"SetIniKeyValue", set).value, Variant(true));
  Arguments get{Variant(u"主"), Variant(u"K")};
  EXPECT_EQ(Call(u"GetIniKeyValue", get).value, Variant(u"v"));

  // Omitted optionals take their defaults; the fill character comes back cut.
  Arguments pad{Variant(u"12"), Variant(int32_t{5}), Variant(u"xyz")};
  EXPECT_EQ(Call(u"FormatStrLn", pad).value, Variant(u"xxx12"));
  ASSERT_EQ(pad.size(), 3u);
  EXPECT_EQ(pad[2], Variant(u"x"));
  Arguments unpadded{Variant(u"12")};
  EXPECT_EQ(Call(u"FormatStrLn", unpadded).value, Variant(u"12"));
}

TEST_F(HTObjectTest, CounterStandsWhereItStoppedOnOverflow) {
  Arguments args{Variant(u"aaa"), Variant(u"a"), Variant(int16_t{32766})};
  const InvokeResult result = Call(u"CalculateStr", args);
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->number(), 6);
  EXPECT_EQ(args[2], Variant(int16_t{32767}));
}

TEST_F(HTObjectTest, ByteConversionsThroughDispatch) {
  Arguments text{Variant(u"AB")};
  EXPECT_EQ(Call(u"ConverStrToByte", text).value, Variant(ByteArray{true, 0, {0, 65, 66}}));
  Arguments bytes{Variant(ByteArray{true, 0, {0xD6, 0xD0}})};
  EXPECT_EQ(Call(u"ConverByteToStr", bytes).value, Variant(u"中"));
}

TEST_F(HTObjectTest, RegistryMembersWriteTheirInOutArgumentsBack) {
  // A root given as "&H" text is coerced to the 32-bit parameter and comes
  // back as the integer; the empty value comes back as the space stored.
  Arguments set{Variant(u"&H80000001"), Variant(u"Software\\Shop"), Variant(u"Name"),
                Variant(u"")};
  EXPECT_EQ(Call(u"SetRegKeyValue", set).value, Variant(true));
  EXPECT_EQ(set[0], Variant(int32_t{-2147483647}));
  EXPECT_EQ(set[3], Variant(u" "));
  Arguments get{Variant(int32_t{-2147483647}), Variant(u"software\\shop"), Variant(u"NAME")};
  EXPECT_EQ(Call(u"GetRegKeyValue", get).value, Variant(u" "));
  Arguments value{Variant(int32_t{-2147483647}), Variant(u"Software\\Shop"), Variant(u"Name")};
  EXPECT_EQ(Call(u"DelRegKeyValue", value).value, Variant(true));
  Arguments key{Variant(int32_t{-2147483647}), Variant(u"Software\\Shop")};
  EXPECT_EQ(Call(u"DelRegKey", key).value, Variant(true));
  Arguments unknown_root{Variant(int32_t{0}), Variant(u"Software")};
  EXPECT_EQ(Call(u"DelRegKey", unknown_root).value, Variant(false));
}

}  // namespace
}  // namespace kavrolin::component
