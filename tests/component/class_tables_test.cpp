#include "component/class_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace kavrolin::component {
namespace {

const MemberTable* const kTables[] = {&InterFaceTable(), &RizhiTable(), &HTTable()};

TEST(ClassTables, DispidsUniquePerKindAndNamesMatchDispids) {
  for (const MemberTable* table : kTables) {
    SCOPED_TRACE(ToUtf8(table->class_name()));
    std::set<std::pair<int32_t, MemberKind>> ids;
    for (const Member& member : table->members()) {
      SCOPED_TRACE(ToUtf8(member.name));
      EXPECT_TRUE(ids.insert({member.dispid, member.kind}).second);
      EXPECT_EQ(table->DispidOf(member.name), member.dispid);
      // Required parameters never follow optional ones.
      bool optional_seen = false;
      for (const Parameter& p : member.params) {
        EXPECT_FALSE(optional_seen && !p.optional) << ToUtf8(p.name);
        optional_seen |= p.optional;
      }
      if (member.kind == MemberKind::kPropertyPut) {
        EXPECT_EQ(member.params.size(), 1u);
        EXPECT_NE(table->Find(member.dispid, MemberKind::kPropertyGet), nullptr);
      }
    }
  }
}

TEST(ClassTables, MemberCounts) {
  const auto distinct = [](const MemberTable& table) {
    std::set<Text> names;
    for (const Member& m : table.members()) names.insert(Text(m.name));
    return names.size();
  };
  EXPECT_EQ(distinct(InterFaceTable()), 17u);
  EXPECT_EQ(distinct(RizhiTable()), 1u);
  EXPECT_EQ(distinct(HTTable()), 58u);
}

TEST(ClassTables, SpotRows) {
  const struct {
    const char* label;
    const MemberTable* table;
    Text name;
    MemberKind kind;
    int32_t dispid;
    size_t params;
    DeclaredType result;
  } rows[] = {
      {"first_property", &InterFaceTable(), u"m_strFilePrn", MemberKind::kPropertyGet, 0x40030002, 0,
       DeclaredType::kText},
      {"last_property_put", &InterFaceTable(), u"m_strSY", MemberKind::kPropertyPut, 0x40030007, 1,
       DeclaredType::kNone},
      {"sale", &InterFaceTable(), u"Sale", MemberKind::kMethod, 0x60030000, 4, DeclaredType::kBool},
      {"initialize_skips_a", &InterFaceTable(), u"Initialize", MemberKind::kMethod, 0x6003000B, 1,
       DeclaredType::kBool},
      {"journal", &RizhiTable(), u"WriteLog", MemberKind::kMethod, 0x60030000, 1, DeclaredType::kBool},
      {"ht_first", &HTTable(), u"SetRegKeyValue", MemberKind::kMethod, 0x60030002, 4, DeclaredType::kBool},
      {"ht_log_property", &HTTable(), u"LOGFile", MemberKind::kPropertyPut, 0x68030000, 1, DeclaredType::kNone},
      {"ht_ini_property", &HTTable(), u"INIFile", MemberKind::kPropertyGet, 0x68030001, 0, DeclaredType::kText},
      {"ht_create_ini_returns_nothing", &HTTable(), u"CreateIni", MemberKind::kMethod, 0x60030008, 2,
       DeclaredType::kNone},
      {"ht_bytes", &HTTable(), u"ConverStrToByte", MemberKind::kMethod, 0x6003003B, 1, DeclaredType::kByteArray},
      {"ht_last", &HTTable(), u"GetSpecialFolder", MemberKind::kMethod, 0x60030048, 1, DeclaredType::kText},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Member* m = row.table->Find(row.name, row.kind);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->dispid, row.dispid);
    EXPECT_EQ(m->kind, row.kind);
    EXPECT_EQ(m->params.size(), row.params);
    EXPECT_EQ(m->result, row.result);
  }
}

TEST(ClassTables, OptionalParametersAndDefaults) {
  const struct {
    const char* label;
    Text member;
    size_t index;
    Text param;
    DeclaredType type;
    Direction direction;
    bool optional;
    Variant default_value;
  } rows[] = {
      {"required_in", u"HLeft", 0, u"strIn", DeclaredType::kText, Direction::kIn, false, {}},
      {"required_in_out", u"CalculateStr", 2, u"Counter", DeclaredType::kInt16, Direction::kInOut, false, {}},
      {"optional_without_default", u"StringEnCrypt", 2, u"strTarget", DeclaredType::kText, Direction::kInOut,
       true, {}},
      {"optional_bool_without_default", u"FileKill", 1, u"bDeleteReadOnly", DeclaredType::kBool,
       Direction::kInOut, true, {}},
      {"optional_int_without_default", u"FormatStrLn", 1, u"StrLng", DeclaredType::kInt32, Direction::kInOut,
       true, {}},
      {"default_zero", u"SetIniFormat", 0, u"lngLeftStringLen", DeclaredType::kInt32, Direction::kInOut, true,
       int32_t{0}},
      {"default_blank", u"FormatStrLn", 2, u"ShowStr", DeclaredType::kText, Direction::kInOut, true, Text(u" ")},
      {"default_true", u"FormatStrLn", 3, u"IsRightAlign", DeclaredType::kBool, Direction::kInOut, true, true},
      {"default_mask", u"GetFileLastModiTime", 1, u"pMaskStr", DeclaredType::kText, Direction::kInOut, true,
       Text(u"YYYYMMDDHHMM")},
      {"default_false_file", u"DeleteFile", 1, u"force", DeclaredType::kBool, Direction::kInOut, true, false},
      {"default_false_folder", u"DeleteFolder", 1, u"force", DeclaredType::kBool, Direction::kInOut, true, false},
      {"enum_exit_mode", u"ExitWindows", 0, u"ShutDownMode", DeclaredType::kExitMode, Direction::kIn, false, {}},
      {"enum_spec_folder", u"GetSpecialFolder", 0, u"folderspec", DeclaredType::kSpecFolder, Direction::kIn,
       false, {}},
      {"byte_array_in_out", u"ConverByteToStr", 0, u"buf", DeclaredType::kByteArray, Direction::kInOut, false,
       {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Member* m = HTTable().Find(row.member, MemberKind::kMethod);
    ASSERT_NE(m, nullptr);
    ASSERT_LT(row.index, m->params.size());
    const Parameter& p = m->params[row.index];
    EXPECT_EQ(p.name, row.param);
    EXPECT_EQ(p.type, row.type);
    EXPECT_EQ(p.direction, row.direction);
    EXPECT_EQ(p.optional, row.optional);
    EXPECT_EQ(p.default_value, row.default_value);
  }
}

TEST(MemberTable, LookupRules) {
  const MemberTable& t = InterFaceTable();
  const struct {
    const char* label;
    Text name;
    MemberKind kind;
    const char16_t* found_name;  // nullptr: not found
    MemberKind found_kind;
  } rows[] = {
      {"empty_name", u"", MemberKind::kMethod, nullptr, MemberKind::kMethod},
      {"private_member_hidden", u"ReadPrintFile", MemberKind::kMethod, nullptr, MemberKind::kMethod},
      {"put_on_method", u"GetCardNo", MemberKind::kPropertyPut, nullptr, MemberKind::kMethod},
      {"method_case_insensitive", u"getcardno", MemberKind::kMethod, u"GetCardNo", MemberKind::kMethod},
      {"get_finds_method", u"GetCardNo", MemberKind::kPropertyGet, u"GetCardNo", MemberKind::kMethod},
      {"method_finds_get", u"M_STRCARDNO", MemberKind::kMethod, u"m_strCardNo", MemberKind::kPropertyGet},
      {"put", u"m_strCardNo", MemberKind::kPropertyPut, u"m_strCardNo", MemberKind::kPropertyPut},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const Member* m = t.Find(row.name, row.kind);
    if (!row.found_name) {
      EXPECT_EQ(m, nullptr);
      continue;
    }
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->name, row.found_name);
    EXPECT_EQ(m->kind, row.found_kind);
    EXPECT_EQ(t.Find(m->dispid, row.kind), m);
  }
}

}  // namespace
}  // namespace kavrolin::component
