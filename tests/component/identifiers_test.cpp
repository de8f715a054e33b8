#include "component/identifiers.h"

#include <gtest/gtest.h>

#include <set>

namespace kavrolin::component {
namespace {

TEST(Guid, TextFormRoundTrips) {
  const struct {
    const char* label;
    Text text;
    Text canonical;  // empty: not a GUID
  } rows[] = {
      {"empty", u"", u""},
      {"one_digit_short", u"{C3C2B4C4-09D1-45DC-B700-965DCD76F78}", u""},
      {"dash_misplaced", u"{C3C2B4C409-D1-45DC-B700-965DCD76F78E}", u""},
      {"not_hex", u"{G3C2B4C4-09D1-45DC-B700-965DCD76F78E}", u""},
      {"one_brace", u"{C3C2B4C4-09D1-45DC-B700-965DCD76F78E", u""},
      {"all_zero", u"{00000000-0000-0000-0000-000000000000}", u"{00000000-0000-0000-0000-000000000000}"},
      {"lower_case", u"{c3c2b4c4-09d1-45dc-b700-965dcd76f78e}", u"{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}"},
      {"no_braces", u"C3C2B4C4-09D1-45DC-B700-965DCD76F78E", u"{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const auto guid = Guid::Parse(row.text);
    ASSERT_EQ(guid.has_value(), !row.canonical.empty());
    if (guid) {
      EXPECT_EQ(guid->ToText(), row.canonical);
    }
  }
}

TEST(Identifiers, FixedValues) {
  EXPECT_EQ(kLibId.ToText(), u"{C3C2B4C4-09D1-45DC-B700-965DCD76F78E}");
  EXPECT_EQ(kLibraryMajor, 17);
  EXPECT_EQ(kLibraryMinor, 0);
  EXPECT_EQ(kLibraryLocale, 0x409u);
  const struct {
    ClassKind kind;
    Text name, prog_id, clsid, interface_name, iid;
  } rows[] = {
      {ClassKind::kInterFace, u"clsInterFace", u"Kavrolin.clsInterFace",
       u"{9F78969F-20F8-4D3E-AA8F-96A282178F6A}", u"_clsInterFace", u"{EB46F9CA-CEDC-4F67-AAE2-167D06674D96}"},
      {ClassKind::kHT, u"clsHT", u"Kavrolin.clsHT", u"{8B834EB1-A42C-40CA-8B86-DAEFBCE66A39}", u"_clsHT",
       u"{E82E406F-A143-4E7F-943B-857ACCC0B15C}"},
      {ClassKind::kRizhi, u"cls_Rizhi", u"Kavrolin.cls_Rizhi", u"{AD4BBBFB-4DAD-479E-9151-89957B5A8A43}",
       u"_cls_Rizhi", u"{10318D01-BAB8-49C2-BFEC-C1DC4900B0C3}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(ToUtf8(row.name));
    const ClassInfo& info = InfoOf(row.kind);
    EXPECT_EQ(info.name, row.name);
    EXPECT_EQ(info.prog_id, row.prog_id);
    EXPECT_EQ(info.clsid.ToText(), row.clsid);
    EXPECT_EQ(info.interface_name, row.interface_name);
    EXPECT_EQ(info.iid.ToText(), row.iid);
  }
}

TEST(Identifiers, AllGuidsDistinct) {
  std::set<Text> seen = {kLibId.ToText(), ExitModeEnum().guid.ToText(), SpecFolderEnum().guid.ToText()};
  for (const ClassInfo& info : Classes()) {
    seen.insert(info.clsid.ToText());
    seen.insert(info.iid.ToText());
  }
  EXPECT_EQ(seen.size(), 3u + 2 * Classes().size());
}

TEST(Identifiers, Enumerations) {
  EXPECT_EQ(ExitModeEnum().guid.ToText(), u"{485FCC21-E5FF-490F-9739-0A22EDE0C20C}");
  EXPECT_EQ(SpecFolderEnum().guid.ToText(), u"{DE7DAD82-E043-4D14-BFD4-ECE213DB97C7}");
  using Members = std::vector<std::pair<std::u16string_view, int32_t>>;
  EXPECT_EQ(ExitModeEnum().members, (Members{{u"EXIT_LOGOFF", 0}, {u"EXIT_SHUTDOWN", 1}, {u"EXIT_REBOOT", 2}}));
  EXPECT_EQ(SpecFolderEnum().members,
            (Members{{u"WindowsFolder", 0}, {u"SystemFolder", 1}, {u"TemporaryFolder", 2}}));
}

TEST(FindClass, ByNameProgIdOrClsid) {
  const struct {
    const char* label;
    Text name;
    const char16_t* found;  // class name, or nullptr
  } rows[] = {
      {"empty", u"", nullptr},
      {"prefix_only", u"Kavrolin.", nullptr},
      {"unknown_clsid", u"{00000000-0000-0000-0000-000000000000}", nullptr},
      {"iid_is_no_class", u"{EB46F9CA-CEDC-4F67-AAE2-167D06674D96}", nullptr},
      {"class_name", u"clsHT", u"clsHT"},
      {"class_name_other_case", u"CLSINTERFACE", u"clsInterFace"},
      {"prog_id", u"Kavrolin.cls_Rizhi", u"cls_Rizhi"},
      {"prog_id_lower", u"kavrolin.clsht", u"clsHT"},
      {"clsid", u"{9F78969F-20F8-4D3E-AA8F-96A282178F6A}", u"clsInterFace"},
      {"clsid_lower", u"{ad4bbbfb-4dad-479e-9151-89957b5a8a43}", u"cls_Rizhi"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const ClassInfo* info = FindClass(row.name);
    if (!row.found) {
      EXPECT_EQ(info, nullptr);
    } else {
      ASSERT_NE(info, nullptr);
      EXPECT_EQ(info->name, row.found);
    }
  }
}

}  // namespace
}  // namespace kavrolin::component
