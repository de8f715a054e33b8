// Hostile arguments through the dispatch layer: every member of every class,
// called with each value of the table below in every parameter (and with
// too many and too few arguments), ends with its result or a clear
// automation error. A crash, a sanitizer report or a hang fails the suite.
//
// Safety: members that reach files, the registry, the machine or the network
// get every text argument below C:\hostile\ in the test's own prefix, and
// the test checks the mapped host path before each such call; the system
// operations, the echo service and the terminal are fakes. Only members that
// work on their arguments alone get the hostile texts as they stand.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "component/class_factory.h"
#include "component/class_tables.h"
#include "fakes/fake_message_box.h"
#include "fakes/services_in_prefix.h"

namespace kavrolin::component {
namespace {

struct Hostile {
  const char* label;
  Variant value;
};

Text Repeat(char16_t unit, size_t count) { return Text(count, unit); }

// Boundary rows first: the automation string limits, then the rest.
std::vector<Hostile> HostileValues() {
  TextArray many_texts{true, 0, std::vector<Text>(100000, u"x")};
  ByteArray big_bytes{true, 1, std::vector<uint8_t>(1 << 20, 0xD6)};
  return {
      {"text_32767_units", Variant(Repeat(u'a', 32767))},
      {"text_32768_units", Variant(Repeat(u'a', 32768))},
      {"text_32767_double_byte", Variant(Repeat(u'\x4E2D', 32767))},
      {"text_32768_double_byte", Variant(Repeat(u'\x4E2D', 32768))},
      {"text_1MB", Variant(Repeat(u'7', 1 << 20))},
      {"text_1MB_commas", Variant(Repeat(u',', 1 << 20))},
      {"empty_text", Variant(u"")},
      {"u0000", Variant(Text(u"a\0b", 3))},
      {"only_u0000", Variant(Text(1, u'\0'))},
      {"not_in_code_page", Variant(u"\x0E01\x0627\xD83D\xDE00")},
      {"lone_surrogate", Variant(u"\xD800")},
      {"climbing_path", Variant(u"..\\..\\..\\..\\..\\..\\x")},
      {"wildcards", Variant(u"*.*")},
      {"number_text_huge", Variant(u"1e400")},
      {"number_text_negative", Variant(u"-99999999999999999999")},
      {"empty", Variant()},
      {"null", Variant(NullValue{})},
      {"int16_min", Variant(std::numeric_limits<int16_t>::min())},
      {"int32_min", Variant(std::numeric_limits<int32_t>::min())},
      {"int32_max", Variant(std::numeric_limits<int32_t>::max())},
      {"minus_one", Variant(int32_t{-1})},
      {"double_max", Variant(std::numeric_limits<double>::max())},
      {"double_lowest", Variant(std::numeric_limits<double>::lowest())},
      {"double_denormal", Variant(std::numeric_limits<double>::denorm_min())},
      {"double_nan", Variant(std::numeric_limits<double>::quiet_NaN())},
      {"double_infinity", Variant(std::numeric_limits<double>::infinity())},
      {"double_half", Variant(-0.5)},
      {"bool_true", Variant(true)},
      {"date_far", Variant(Date{1e12})},
      {"date_negative", Variant(Date{-1e9})},
      {"text_array_without_bounds", Variant(TextArray::WithoutBounds())},
      {"text_array_empty", Variant(TextArray{true, 0, {}})},
      {"text_array_empty_lowest_bound", Variant(TextArray{true, std::numeric_limits<int32_t>::min(), {}})},
      {"text_array_at_highest_bound", Variant(TextArray{true, std::numeric_limits<int32_t>::max(), {u"a"}})},
      {"text_array_100000", Variant(std::move(many_texts))},
      {"byte_array_without_bounds", Variant(ByteArray::WithoutBounds())},
      {"byte_array_empty", Variant(ByteArray{true, 0, {}})},
      {"byte_array_at_highest_bound", Variant(ByteArray{true, std::numeric_limits<int32_t>::max(), {0xD6, 0xD0}})},
      {"byte_array_lone_lead_byte", Variant(ByteArray{true, -5, {0x81}})},
      {"byte_array_1MB", Variant(std::move(big_bytes))},
  };
}

// Members whose arguments name no file or folder: they work on their
// arguments alone, on the object's own files (set below C:\hostile\ by
// NewObject), on the journal and registry inside the prefix, or on the fake
// system, echo and terminal services. They get the hostile values as they
// stand; every other member gets them below C:\hostile\.
bool TakesNoPath(std::u16string_view name) {
  static const std::set<std::u16string_view> kNoPath = {
      u"m_strFanhui", u"m_strCardNo", u"m_strCardMoney", u"m_strSY", u"GetCardNo",
      u"GetCardMoney", u"GetSY", u"GetFanhui", u"Sale", u"Inquery", u"VoidSale", u"VoidTH",
      u"Qita", u"WriteLog", u"CalculateStr", u"StringEnCrypt", u"ParsePath", u"GetPath",
      u"ParseFileName", u"GetFileExt", u"EncodeString", u"Bin2Dec", u"Dec2Bin", u"Bin2Hex",
      u"Hex2Bin", u"Hex2Dec", u"CheckBitStatus", u"HLeft", u"FormatStrLn", u"StrDelimiter",
      u"StrReplaceRepeat", u"StrReplaceComma", u"ConverStrToByte", u"ConverByteToStr",
      u"GetBaseName", u"GetExtensionName", u"GetFileName", u"GetParentFolderName",
      u"GetDriveName", u"SetRegKeyValue", u"GetRegKeyValue", u"DelRegKey", u"DelRegKeyValue",
      u"SetIniKeyValue", u"SetIniRemark", u"DelIniKey", u"DelIniSection", u"GetIniKeyList",
      u"GetIniSectionList", u"GetIniKeyValue", u"GetMachineName", u"SetMachineName",
      u"ExitWindows", u"LockFunction", u"UnLockFunction", u"Ping"};
  return kNoPath.count(name) > 0;
}

bool IsText(DeclaredType type) { return type == DeclaredType::kText || type == DeclaredType::kVariant; }

// One member row of one class: each is a test of its own, so a slow or
// failing member is named by itself.
struct MemberRow {
  ClassKind kind;
  const Member* member;
};

std::vector<MemberRow> MemberRows(bool only_with_optionals) {
  std::vector<MemberRow> rows;
  for (ClassKind kind : {ClassKind::kInterFace, ClassKind::kRizhi, ClassKind::kHT}) {
    for (const Member& member : TableOf(kind).members()) {
      if (only_with_optionals && member.RequiredCount() == member.params.size()) continue;
      rows.push_back({kind, &member});
    }
  }
  return rows;
}

std::string RowName(const ::testing::TestParamInfo<MemberRow>& info) {
  const Member& m = *info.param.member;
  return ToUtf8(TableOf(info.param.kind).class_name()) + "_" + ToUtf8(m.name) +
         (m.kind == MemberKind::kPropertyPut ? "_put" : m.kind == MemberKind::kPropertyGet ? "_get" : "");
}

class HostileInputTest : public ::testing::TestWithParam<MemberRow> {
 protected:
  HostileInputTest() : factory_(WithQuietMessageBox(env_.services)) {
    std::filesystem::create_directories(env_.C("hostile"));
  }

  static platform::Services WithQuietMessageBox(platform::Services services) {
    services.message_box = std::make_shared<testing::FakeMessageBox>();
    return services;
  }

  // A new object whose files all lie below C:\hostile\.
  ObjectRef NewObject(ClassKind kind) {
    std::filesystem::create_directories(env_.C("hostile"));  // a call may have deleted it
    ObjectRef object = factory_.Create(kind);
    Arguments ini{Variant(u"C:\\hostile\\h.ini")}, log{Variant(u"C:\\hostile\\h.log")},
        app{Variant(u"C:\\hostile")};
    if (kind == ClassKind::kHT) {
      EXPECT_FALSE(object->Invoke(u"INIFile", MemberKind::kPropertyPut, ini).error);
      EXPECT_FALSE(object->Invoke(u"LOGFile", MemberKind::kPropertyPut, log).error);
    } else if (kind == ClassKind::kInterFace) {
      EXPECT_FALSE(object->Invoke(u"Initialize", MemberKind::kMethod, app).error);
    }
    return object;
  }

  // `value` below C:\hostile\ when it is a text, once the prefix is seen to
  // map it there.
  Variant Confined(const Variant& value) {
    if (value.type() != VariantType::kText) return value;
    const Text path = u"C:\\hostile\\" + value.get<Text>();
    try {
      const auto host = env_.prefix->ToHost(path);
      std::error_code unreadable;  // a name too long to look at: nothing can act on it either
      const auto mapped = std::filesystem::weakly_canonical(host.path, unreadable).string();
      if (unreadable) return Variant(path);
      const auto inside = std::filesystem::weakly_canonical(env_.C("hostile")).string();
      const bool below = mapped.compare(0, inside.size(), inside) == 0 &&
                         (mapped.size() == inside.size() || mapped[inside.size()] == '/');
      // A climbing path would leave C:\hostile\ (never the prefix): it is
      // not handed to the member.
      if (!below) return Variant(u"C:\\hostile\\refused");
    } catch (const AutomationError&) {
      // Not mappable at all: the member fails the same way, inside the prefix.
    }
    return Variant(path);
  }

  // A value as this row's member gets it: below C:\hostile\ unless the
  // member takes no path.
  Variant AsPassed(const Variant& value) {
    return TakesNoPath(GetParam().member->name) ? value : Confined(value);
  }

  void CallAndExpectAnAnswer(ClassKind kind, const Member& member, Arguments args) {
    ObjectRef object = NewObject(kind);
    const InvokeResult result = object->Invoke(member.dispid, member.kind, args);
    if (result.error) {
      EXPECT_NE(result.error->number(), 0);
      EXPECT_FALSE(result.error->description().empty());
    }
  }

  testing::ServicesInPrefix env_;
  ClassFactory factory_;
};

TEST_P(HostileInputTest, AnswersEveryHostileValue) {
  const ClassKind kind = GetParam().kind;
  const Member& member = *GetParam().member;
  for (const Hostile& hostile : HostileValues()) {
    SCOPED_TRACE(hostile.label);
    // The hostile value in every parameter at once, then in each alone
    // beside ordinary values.
    Arguments all;
    for (size_t i = 0; i < member.params.size(); ++i) {
      all.emplace_back(AsPassed(hostile.value));
    }
    CallAndExpectAnAnswer(kind, member, all);
    for (size_t i = 0; member.params.size() > 1 && i < member.params.size(); ++i) {
      SCOPED_TRACE("alone in parameter " + std::to_string(i));
      Arguments one;
      for (size_t j = 0; j < member.params.size(); ++j) {
        const Variant ordinary = IsText(member.params[j].type) ? Variant(u"a") : Variant(int32_t{1});
        one.emplace_back(AsPassed(i == j ? hostile.value : ordinary));
      }
      CallAndExpectAnAnswer(kind, member, one);
    }
  }
}

TEST_P(HostileInputTest, WrongArgumentCountsAreRefusedByNumber) {
  const ClassKind kind = GetParam().kind;
  const Member& member = *GetParam().member;
  Arguments too_many(member.params.size() + 3, std::optional<Variant>(Variant(u"C:\\hostile\\x")));
  ObjectRef object = NewObject(kind);
  const InvokeResult many = object->Invoke(member.dispid, member.kind, too_many);
  ASSERT_TRUE(many.error);
  EXPECT_EQ(many.error->number(), kWrongArgumentCount);
  if (member.RequiredCount() == 0) return;
  Arguments none;
  const InvokeResult few = object->Invoke(member.dispid, member.kind, none);
  ASSERT_TRUE(few.error);
  EXPECT_EQ(few.error->number(), kArgumentNotOptional);
}

// Every optional parameter left out, every required one hostile: the
// declared defaults must carry the member.
using HostileBesideOmittedTest = HostileInputTest;

TEST_P(HostileBesideOmittedTest, OmittedOptionalsBesideHostileRequired) {
  const ClassKind kind = GetParam().kind;
  const Member& member = *GetParam().member;
  for (const Hostile& hostile : HostileValues()) {
    SCOPED_TRACE(hostile.label);
    Arguments args;
    for (const Parameter& p : member.params) {
      if (p.optional) args.emplace_back(std::nullopt);
      else args.emplace_back(AsPassed(hostile.value));
    }
    CallAndExpectAnAnswer(kind, member, args);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryMember, HostileInputTest, ::testing::ValuesIn(MemberRows(false)), RowName);
INSTANTIATE_TEST_SUITE_P(WithOptionals, HostileBesideOmittedTest, ::testing::ValuesIn(MemberRows(true)),
                         RowName);

}  // namespace
}  // namespace kavrolin::component
