#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/services_in_prefix.h"
#include "toolkit/cls_ht.h"

namespace kavrolin::toolkit {
namespace {

namespace fs = std::filesystem;
using kavrolin::testing::ReadHostFile;
using kavrolin::testing::WriteHostFile;

class IniMembersTest : public ::testing::Test {
 protected:
  IniMembersTest() {
    ht_ = std::make_unique<clsHT>(env_.services);
    ht_->INIFile(u"C:\\POS\\app.ini");
    fs::create_directories(env_.C("POS"));
  }
  void File(const std::string& bytes) { WriteHostFile(env_.C("POS/app.ini"), bytes); }
  std::string File() const { return ReadHostFile(env_.C("POS/app.ini")); }

  kavrolin::testing::ServicesInPrefix env_;
  std::unique_ptr<clsHT> ht_;
};

TEST_F(IniMembersTest, ReadsValuesListsAndSections) {
  File("[Main]\r\nK1=v1\r\nK2 = \" spaced \" \r\n[\xD6\xF7]\r\n\xBC\xFC=\xD6\xB5\r\n");
  const struct {
    const char* label;
    Text section, key, value;
  } rows[] = {
      {"plain", u"Main", u"K1", u"v1"},
      {"quotes_and_blanks", u"main", u"k2", u" spaced "},
      {"chinese", u"主", u"键", u"值"},
      {"missing_key", u"Main", u"K3", u""},
      {"missing_section", u"None", u"K1", u""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Text section = row.section, key = row.key;
    EXPECT_EQ(ht_->GetIniKeyValue(section, key), row.value);
    EXPECT_EQ(section, row.section);
  }
  Text main = u"Main";
  EXPECT_EQ(ht_->GetIniKeyList(main), Text(u"K1\0K2\0", 6));
  EXPECT_EQ(ht_->GetIniSectionList(), Text(u"Main\0主\0", 7));
}

TEST_F(IniMembersTest, InOutTextsComeBackAsTheyCrossedTheCodePage) {
  File("[A]\r\nk=1\r\n");
  Text section = u"กA", key = u"k";
  EXPECT_EQ(ht_->GetIniKeyValue(section, key), u"");
  EXPECT_EQ(section, u"?A");
}

TEST_F(IniMembersTest, SectionListIsNotCutAt254Bytes) {
  std::string file;
  Text expected;
  for (int i = 0; i < 30; ++i) {
    const std::string name = "Section" + std::to_string(100 + i);  // 10 bytes + NUL each
    file += "[" + name + "]\r\nk=v\r\n";
    expected += AsciiText(name) + u'\0';
  }
  File(file);
  EXPECT_EQ(ht_->GetIniSectionList(), expected);
  EXPECT_TRUE(ht_->SetIniRemark(u"Section129", u"last"));
}

TEST_F(IniMembersTest, KeyWritesAndDeletions) {
  Text s = u"A", k = u"k", v = u"1";
  EXPECT_TRUE(ht_->SetIniKeyValue(s, k, v));
  Text k2 = u"k2", v2 = u"二";
  EXPECT_TRUE(ht_->SetIniKeyValue(s, k2, v2));
  EXPECT_EQ(File(), "[A]\r\nk=1\r\nk2=\xB6\xFE\r\n");
  EXPECT_TRUE(ht_->DelIniKey(s, k));
  EXPECT_EQ(File(), "[A]\r\nk2=\xB6\xFE\r\n");
  Text all;
  EXPECT_TRUE(ht_->DelIniKey(s, all));
  EXPECT_EQ(File(), "[A]\r\n");
  EXPECT_TRUE(ht_->DelIniSection(s));
  EXPECT_EQ(File(), "");

  ht_->INIFile(u"C:\\NoFolder\\app.ini");
  EXPECT_FALSE(ht_->SetIniKeyValue(s, k, v));
}

TEST_F(IniMembersTest, Remarks) {
  const struct {
    const char* label;
    std::string before;
    Text section;
    bool answer;
    std::string after;
  } rows[] = {
      {"under_the_header", "[A]\r\nk=1\r\n", u"A", true, "[A]\r\n;note\r\nk=1\r\n"},
      {"newest_first", "[A]\r\n;old\r\n", u"A", true, "[A]\r\n;note\r\n;old\r\n"},
      {"blanks_around_header", "  [A]  \r\nk=1\r\n", u"A", true, "  [A]  \r\n;note\r\nk=1\r\n"},
      {"every_copy_of_the_header", "[A]\r\n[A]\r\n", u"A", true, "[A]\r\n;note\r\n[A]\r\n;note\r\n"},
      {"not_under_a_value", "[A]\r\nk=[A]\r\n", u"A", true, "[A]\r\n;note\r\nk=[A]\r\n"},
      {"no_final_line_end_kept", "[B]\r\n[A]", u"A", true, "[B]\r\n[A]\r\n;note"},
      {"letter_case_differs", "[A]\r\nk=1\r\n", u"a", false, "[A]\r\nk=1\r\n"},
      {"section_not_there", "[A]\r\nk=1\r\n", u"B", false, "[A]\r\nk=1\r\n"},
      {"empty_name_with_sections", "[A]\r\n", u"", true, "[A]\r\n"},
      {"empty_name_without_sections", "k=1\r\n", u"", false, "k=1\r\n"},
      {"empty_file", "", u"A", false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    File(row.before);
    EXPECT_EQ(ht_->SetIniRemark(row.section, u"note"), row.answer);
    EXPECT_EQ(File(), row.after);
  }
  fs::remove(env_.C("POS/app.ini"));
  EXPECT_FALSE(ht_->SetIniRemark(u"A", u"note"));
  EXPECT_FALSE(fs::exists(env_.C("POS/app.ini")));
}

TEST_F(IniMembersTest, FormatChangesNothing) {
  File("[A]\r\n k = 1 \r\n");
  int32_t width = 12;
  EXPECT_TRUE(ht_->SetIniFormat(width));
  EXPECT_EQ(File(), "[A]\r\n k = 1 \r\n");
}

}  // namespace
}  // namespace kavrolin::toolkit
