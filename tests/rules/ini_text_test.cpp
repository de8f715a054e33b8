#include "rules/ini_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace kavrolin::rules::ini {
namespace {

// GetString's answer as the bytes it delivered, and its count.
std::pair<std::string, uint32_t> Get(const std::string& file, const char* section, const char* key,
                                     uint32_t size = 64, const char* def = "") {
  const IniText text(file, 936);
  std::string buffer(size, '\x7f');
  const uint32_t n = AnswerGetString(&text, section, key, def, buffer.data(), size);
  return {buffer, n};
}

std::string Value(const std::string& file, const char* section, const char* key) {
  auto [buffer, n] = Get(file, section, key);
  return buffer.substr(0, n);
}

TEST(IniRead, Values) {
  const std::string file =
      "top=1\r\n"
      "[Main]\r\n"
      "  K1 = v1  \r\n"
      "K2=\"  quoted  \"\n"
      "K3='x'\r"
      "K4=\"half\r\n"
      ";K5=remark\r\n"
      "no equals here\r\n"
      "K1=second\r\n"
      "[main]\r\n"
      "K6=later copy\r\n"
      "[\xD6\xF7]\r\n"
      "\xBC\xFC=\xD6\xB5\r\n";
  const struct {
    const char* label;
    const char* section;
    const char* key;
    std::string value;
  } rows[] = {
      {"before_first_header", "", "top", "1"},
      {"blanks_trimmed", "Main", "K1", "v1"},
      {"case_of_names_ignored", "MAIN", "k1", "v1"},
      {"double_quotes_removed_blanks_kept", "Main", "K2", "  quoted  "},
      {"single_quotes_and_cr_only_line_end", "Main", "K3", "x"},
      {"unmatched_quote_kept", "Main", "K4", "\"half"},
      {"remark_is_no_key", "Main", ";K5", ""},
      {"line_without_equals_is_no_key", "Main", "no equals here", ""},
      {"only_the_first_section_of_a_name_is_read", "Main", "K6", ""},
      {"chinese_names", "\xD6\xF7", "\xBC\xFC", "\xD6\xB5"},
      {"missing_key", "Main", "K9", ""},
      {"missing_section", "None", "K1", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Value(file, row.section, row.key), row.value);
  }
}

TEST(IniRead, BuffersAndLists) {
  const std::string file = "[A]\r\nlong=abcdefghij\r\nk2=2\r\n[B]\r\n[C]\r\n";
  auto [value, n] = Get(file, "A", "long", 5);
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(value.substr(0, 5), std::string("abcd\0", 5));

  auto [keys, kn] = Get(file, "A", nullptr);
  EXPECT_EQ(kn, 8u);
  EXPECT_EQ(keys.substr(0, 9), std::string("long\0k2\0\0", 9));

  auto [sections, sn] = Get(file, nullptr, nullptr);
  EXPECT_EQ(sections.substr(0, sn + 1), std::string("A\0B\0C\0\0", 7));

  // A list that does not fit: the last name cut, two zeros, size - 2.
  auto [cut, cn] = Get(file, nullptr, nullptr, 5);
  EXPECT_EQ(cn, 3u);
  EXPECT_EQ(cut.substr(0, 5), std::string("A\0B\0\0", 5));

  auto [def, dn] = Get(file, "A", "none", 64, "dflt  ");
  EXPECT_EQ(def.substr(0, dn), "dflt");
  auto [empty_list, en] = Get(file, "Z", nullptr);
  EXPECT_EQ(en, 0u);
  EXPECT_EQ(empty_list.substr(0, 2), std::string("\0\0", 2));
}

// A file written on the Windows registers with repeated headers and keys
// reads as the platform's profile functions read it.
TEST(IniRead, RepeatsReadAsThePlatformReadsThem) {
  const std::string file =
      "[A]\r\nk=first\r\nj=1\r\nK=second\r\n[B]\r\nb=1\r\n[a]\r\nk=third\r\nlate=1\r\n[B]\r\n";
  const struct {
    const char* label;
    const char* section;
    const char* key;
    std::string answer;  // a value, or a list with its zeros
  } rows[] = {
      {"first_key_line_wins", "A", "k", "first"},
      {"key_of_a_later_copy_is_not_found", "A", "late", ""},
      {"key_list_holds_every_key_line_of_the_first_copy", "a", nullptr,
       std::string("k\0j\0K\0\0", 7)},
      {"section_list_names_every_header_line", nullptr, nullptr,
       std::string("A\0B\0a\0B\0\0", 9)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    auto [buffer, n] = Get(file, row.section, row.key);
    const size_t zeros = row.key == nullptr ? 1 : 0;
    EXPECT_EQ(buffer.substr(0, n + zeros), row.answer);
  }
}

// Only a lead byte keeps the byte after it from folding: in 932 the
// katakana B1 stands alone, so the "A" after it folds; in 936 B1 leads.
TEST(IniRead, LetterAfterAByteFoldsUnlessTheByteLeads) {
  const std::string file = "[\xB1" "A]\r\nk=v\r\n[\x83" "A]\r\nk=w\r\n";
  const struct {
    const char* label;
    int code_page;
    const char* section;
    std::string value;
  } rows[] = {
      {"932_katakana_then_letter_folds", 932, "\xB1" "a", "v"},
      {"932_lead_then_trail_kept", 932, "\x83" "a", ""},
      {"936_lead_then_trail_kept", 936, "\xB1" "a", ""},
      {"936_exact_bytes_match", 936, "\xB1" "A", "v"},
      {"1252_every_ascii_letter_folds", 1252, "\x83" "a", "w"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const IniText text(file, row.code_page);
    char buffer[8];
    const uint32_t n = AnswerGetString(&text, row.section, "k", "", buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n), row.value);
  }
}

TEST(IniRead, MissingFileGivesTheDefault) {
  char buffer[8];
  EXPECT_EQ(AnswerGetString(nullptr, "A", "k", "def", buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "def");
  EXPECT_EQ(AnswerGetString(nullptr, "A", "k", "def", buffer, 0), 0u);
}

std::string Write(const std::string& file, const char* section, const char* key, const char* value,
                  Edit::Outcome expected = Edit::Outcome::kChanged) {
  const Edit edit = EditForWriteString(IniText(file, 936), section, key, value);
  EXPECT_EQ(edit.outcome, expected);
  return edit.outcome == Edit::Outcome::kChanged ? edit.bytes : file;
}

TEST(IniWrite, EditsInPlace) {
  const std::string file = "; head\r\n[A]\r\nk = 1 ; stays\r\n\r\n; note\r\n[B]\r\nx=y";
  const struct {
    const char* label;
    const char* section;
    const char* key;
    const char* value;
    std::string result;
  } rows[] = {
      {"replace_keeps_other_bytes", "a", "K", "2",
       "; head\r\n[A]\r\nk=2\r\n\r\n; note\r\n[B]\r\nx=y"},
      {"new_key_after_last_entry", "A", "n", "3",
       "; head\r\n[A]\r\nk = 1 ; stays\r\nn=3\r\n\r\n; note\r\n[B]\r\nx=y"},
      {"new_key_after_unended_last_line", "B", "z", "1",
       "; head\r\n[A]\r\nk = 1 ; stays\r\n\r\n; note\r\n[B]\r\nx=y\r\nz=1\r\n"},
      {"new_section_at_end", "C", "c", "1",
       "; head\r\n[A]\r\nk = 1 ; stays\r\n\r\n; note\r\n[B]\r\nx=y\r\n[C]\r\nc=1\r\n"},
      {"delete_key", "A", "k", nullptr, "; head\r\n[A]\r\n\r\n; note\r\n[B]\r\nx=y"},
      {"delete_section", "A", nullptr, nullptr, "; head\r\n[B]\r\nx=y"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Write(file, row.section, row.key, row.value), row.result);
  }
}

TEST(IniWrite, NothingToDoAndRefusals) {
  const std::string file = "[A]\r\nk=1\r\n";
  Write(file, "A", "k", "1", Edit::Outcome::kUnchanged);
  Write(file, "A", "none", nullptr, Edit::Outcome::kUnchanged);
  Write(file, "None", nullptr, nullptr, Edit::Outcome::kUnchanged);
  Write(file, nullptr, nullptr, nullptr, Edit::Outcome::kRefused);
  Write(file, "A", "k", "two\r\nlines", Edit::Outcome::kRefused);
  Write(file, "A", "a=b", "1", Edit::Outcome::kRefused);
  Write(file, "A", "", "1", Edit::Outcome::kRefused);
  EXPECT_EQ(Write("", "A", "k", "1"), "[A]\r\nk=1\r\n");
}

TEST(IniWrite, Sections) {
  const std::string file = "[A]\r\nk=1\r\nj=2\r\n[B]\r\nx=y\r\n[a]\r\nlate=1\r\n";
  const Edit emptied = EditForWriteSection(IniText(file, 936), "A", "\0");
  ASSERT_EQ(emptied.outcome, Edit::Outcome::kChanged);
  EXPECT_EQ(emptied.bytes, "[A]\r\n[B]\r\nx=y\r\n");
  const Edit replaced = EditForWriteSection(IniText(file, 936), "B", "p=1\0q=2\0");
  ASSERT_EQ(replaced.outcome, Edit::Outcome::kChanged);
  EXPECT_EQ(replaced.bytes, "[A]\r\nk=1\r\nj=2\r\n[B]\r\np=1\r\nq=2\r\n[a]\r\nlate=1\r\n");
  const Edit deleted = EditForWriteSection(IniText(file, 936), "a", nullptr);
  ASSERT_EQ(deleted.outcome, Edit::Outcome::kChanged);
  EXPECT_EQ(deleted.bytes, "[B]\r\nx=y\r\n");
  const Edit added = EditForWriteSection(IniText("x=1", 936), "N", "\0");
  EXPECT_EQ(added.bytes, "x=1\r\n[N]\r\n");
}

TEST(IniWrite, ValuesGoToTheFirstSectionOfAName) {
  const std::string file = "[A]\r\nk=1\r\n[B]\r\n[a]\r\nlate=1\r\n";
  // A key only a later copy holds is made in the first one, where reads look.
  EXPECT_EQ(Write(file, "A", "late", "2"), "[A]\r\nk=1\r\nlate=2\r\n[B]\r\n[a]\r\nlate=1\r\n");
  EXPECT_EQ(Write(file, "a", "k", "2"), "[A]\r\nk=2\r\n[B]\r\n[a]\r\nlate=1\r\n");
}


// Every line and section as text, so two parses compare whole.
std::string Shape(const IniText& text) {
  std::string out;
  const std::string_view all(text.bytes());
  for (const auto& line : text.lines()) {
    out += std::to_string(line.start) + "," + std::to_string(line.end) + "," + std::to_string(line.next) +
           "," + std::to_string(static_cast<int>(line.kind)) + ",[" + std::string(text.NameOf(line)) + "],[" +
           std::string(text.ValueOf(line)) + "]";
    // The views lie inside the text's own bytes.
    for (std::string_view view : {text.NameOf(line), text.ValueOf(line)}) {
      if (!view.empty() && (view.data() < all.data() || view.data() + view.size() > all.data() + all.size())) {
        out += "!outside";
      }
    }
    out += "\n";
  }
  for (const auto& section : text.sections()) {
    out += "S[" + std::string(section.name) + "]" + std::to_string(section.header) + "," +
           std::to_string(section.first) + "," + std::to_string(section.end) + "\n";
  }
  return out;
}

void ExpectEditedParsesAsNew(const std::string& before_bytes, const std::string& after_bytes) {
  const IniText before(before_bytes, 936);
  const auto edited = IniText::Edited(before, after_bytes);
  const IniText fresh(after_bytes, 936);
  EXPECT_EQ(edited->bytes(), after_bytes);
  EXPECT_EQ(Shape(*edited), Shape(fresh));
}

TEST(IniEdited, ParsesAsTheNewBytesWouldBeParsed) {
  const std::string file = "top=1\r\n[A]\r\nk=v\r\n[B]\nx = \"q\"\r\n;r\r\nend";
  const struct {
    const char* label;
    std::string before, after;
  } rows[] = {
      {"empty_to_empty", "", ""},
      {"empty_to_file", "", file},
      {"file_to_empty", file, ""},
      {"unchanged", file, file},
      {"value_changed", file, "top=1\r\n[A]\r\nk=longer value\r\n[B]\nx = \"q\"\r\n;r\r\nend"},
      {"first_byte", file, "Top=1\r\n[A]\r\nk=v\r\n[B]\nx = \"q\"\r\n;r\r\nend"},
      {"last_byte", file, file + "s"},
      {"line_added_at_end", file, file + "\r\nnew=1\r\n"},
      {"key_into_a_section", file, "top=1\r\n[A]\r\nk=v\r\nn=2\r\n[B]\nx = \"q\"\r\n;r\r\nend"},
      {"section_removed", file, "top=1\r\n[B]\nx = \"q\"\r\n;r\r\nend"},
      {"header_made", file, "top=1\r\n[A]\r\n[k=v\r\n[B]\nx = \"q\"\r\n;r\r\nend"},
      {"header_unmade", file, "top=1\r\n[A]\r\nk=v\r\nB]\nx = \"q\"\r\n;r\r\nend"},
      {"cr_becomes_cr_lf", "a=1\rb=2\rc=3", "a=1\r\nb=2\rc=3"},
      {"cr_lf_becomes_cr", "a=1\r\nb=2\r\nc=3", "a=1\rb=2\r\nc=3"},
      {"lf_after_cr_removed", "a=1\r\n\nb=2", "a=1\r\nb=2"},
      {"lines_joined", "a=1\r\nb=2\r\nc=3", "a=1b=2\r\nc=3"},
      {"line_split", "a=1b=2\r\nc=3", "a=1\r\nb=2\r\nc=3"},
      {"same_tail_other_line_starts", "aa\nbb\ncc\n", "a\nab\nbb\ncc\n"},
      {"repeated_lines", "k=1\nk=1\nk=1\nk=1\n", "k=1\nk=1\nk=2\nk=1\nk=1\n"},
      {"double_byte_names", "[\xD6\xF7]\r\n\xBC\xFC=\xD6\xB5\r\n", "[\xD6\xF7]\r\n\xBC\xFC=\xD6\xB6\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    ExpectEditedParsesAsNew(row.before, row.after);
  }
}

TEST(IniEdited, RandomEditsOfRandomFilesParseAsNew) {
  // Files long enough to span several compared blocks, of bytes that make
  // every kind of line and line end.
  static constexpr std::string_view kBytes = "[]=;\"' \t\r\n\r\nab";
  std::mt19937 random(18);
  const auto bytes = [&](size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += kBytes[random() % kBytes.size()];
    return out;
  };
  for (int round = 0; round < 2000; ++round) {
    const std::string before = bytes(random() % 400);
    const size_t from = before.empty() ? 0 : random() % (before.size() + 1);
    const size_t count = std::min(before.size() - from, static_cast<size_t>(random() % 8));
    std::string after = before;
    after.replace(from, count, bytes(random() % 8));
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectEditedParsesAsNew(before, after);
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace kavrolin::rules::ini
