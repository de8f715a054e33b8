#include "rules/registry_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ansi.h"
#include "rules/registry_text_rows.h"

namespace kavrolin::rules {
namespace {

using namespace std::string_literals;
using namespace testing_rows;

TEST(RegistryText, EveryKindOfValueSurvivesBothForms) {
  const struct {
    const char* label;
    RegTextForm form;
  } rows[] = {
      {"version 5.00", RegTextForm::kVersion5},
      {"REGEDIT4", RegTextForm::kRegedit4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    RegText text = EveryKind();
    text.form = row.form;
    const std::string written = WriteRegText(text);
    const RegText read = ParseRegText(written);
    EXPECT_EQ(read.form, row.form);
    EXPECT_EQ(Describe(read), Describe(text));
    EXPECT_EQ(WriteRegText(read), written) << "written again, the same bytes";
    for (size_t at = written.find('\n'); at != std::string::npos; at = written.find('\n', at + 1)) {
      ASSERT_EQ(written[at - 1], '\r') << "CR LF line ends, as the Windows editor writes";
    }
  }
}

// Bytes the code page cannot decode would read back as "?" from the quoted
// form; REGEDIT4 keeps them in hex(1):.
TEST(RegistryText, TextTheCodePageCannotDecodeKeepsItsBytesInRegedit4) {
  RegText text;
  text.form = RegTextForm::kRegedit4;
  RegTextKey key;
  key.root = reg::kCurrentUser;
  key.path = u"Software";
  key.values = {Value(u"undecodable", reg::kSz, "a\xFF\xFF" "b\0"s),
                Value(u"decodable", reg::kSz, "a?\xD6\xD0" "b\0"s)};
  text.keys = {key};
  const std::string written = WriteRegText(text);
  EXPECT_NE(written.find("\"undecodable\"=hex(1):61,ff,ff,62,00"), std::string::npos) << written;
  EXPECT_NE(written.find("\"decodable\"=\"a?\xD6\xD0" "b\""), std::string::npos) << written;
  EXPECT_EQ(Describe(ParseRegText(written)), Describe(text));
}

// A name the registry holds may contain a line feed; written as it stands, the
// rest of its line would read back as keys and values of its own.
TEST(RegistryText, NameWithALineFeedIsRefusedNotMisread) {
  const struct {
    const char* label;
    Text path;
    Text value_name;
    size_t refused_line;  // 0: written, and reads back the same; the root's key takes lines 3-4
  } rows[] = {
      {"carriage_return_alone_reads_back", u"Software\\a\r", u"name\r", 0},
      {"brackets_and_quotes_read_back", u"Software\\a]b[", u"x\"=\"y", 0},
      {"key_name_would_start_another_key", u"Software\\a]\n[HKEY_LOCAL_MACHINE\\Evil", u"v", 5},
      {"key_name_ending_in_a_line_feed", u"Software\\a\n", u"v", 5},
      {"value_name_would_start_another_key", u"Software", u"a\n[HKEY_LOCAL_MACHINE\\Evil]", 6},
  };
  for (const RegTextForm form : {RegTextForm::kVersion5, RegTextForm::kRegedit4}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.label) + (form == RegTextForm::kVersion5 ? " 5.00" : " REGEDIT4"));
      RegText text;
      text.form = form;
      RegTextKey key;
      key.root = reg::kCurrentUser;
      key.path = row.path;
      key.values = {Value(row.value_name, reg::kSz, "v\0"s)};
      text.keys = {RegTextKey{}, key};
      text.keys[0].root = reg::kCurrentUser;
      if (row.refused_line == 0) {
        EXPECT_EQ(Describe(ParseRegText(WriteRegText(text))), Describe(text));
        continue;
      }
      try {
        WriteRegText(text);
        ADD_FAILURE() << "written";
      } catch (const RegTextError& e) {
        EXPECT_EQ(e.line(), row.refused_line);
        EXPECT_NE(std::string(e.what()).find("holds a line break"), std::string::npos) << e.what();
      }
    }
  }
}

TEST(RegistryText, WritesTheFormTheWindowsEditorReads) {
  RegText text;
  RegTextKey key;
  key.root = reg::kCurrentUser;
  key.path = u"Software\\Shop";
  key.values = {Value(u"", reg::kSz, "d\0"s), Value(u"Name", reg::kSz, "a\\b\"c\0"s),
                Value(u"Count", reg::kDword, "\x2A\0\0\0"s),
                Value(u"Path", reg::kExpandSz, "%A%\0"s), Value(u"Raw", reg::kBinary, "\x01\xFF")};
  text.keys = {key};
  EXPECT_EQ(WriteRegText(text),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Shop]\r\n"
            "@=\"d\"\r\n"
            "\"Name\"=\"a\\\\b\\\"c\"\r\n"
            "\"Count\"=dword:0000002a\r\n"
            "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n"
            "\"Raw\"=hex:01,ff\r\n\r\n");
  text.form = RegTextForm::kRegedit4;
  EXPECT_EQ(WriteRegText(text).substr(0, 10), "REGEDIT4\r\n");
  EXPECT_NE(WriteRegText(text).find("\"Path\"=hex(2):25,41,25,00\r\n"), std::string::npos)
      << "REGEDIT4 keeps the ANSI bytes of a string type";
}

TEST(RegistryText, LongHexListsWrapAndReadBack) {
  RegText text;
  RegTextKey key;
  key.root = reg::kCurrentUser;
  key.path = u"K";
  key.values = {Value(u"Raw", reg::kBinary, std::string(100, '\x7F'))};
  text.keys = {key};
  const std::string written = WriteRegText(text);
  size_t lines = 0;
  for (size_t start = 0, end; (end = written.find("\r\n", start)) != std::string::npos;
       start = end + 2, ++lines) {
    EXPECT_LE(end - start, 80u) << written.substr(start, end - start);
  }
  EXPECT_GT(lines, 6u) << "the list went over several lines";
  EXPECT_EQ(Describe(ParseRegText(written)), Describe(text));
}

TEST(RegistryText, ReadsWhatTheWindowsEditorWrites) {
  const std::u16string body =
      u"Windows Registry Editor Version 5.00\r\n"
      u"\r\n"
      u"; a remark\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop]\r\n"
      u"\"Name\"=\"收银\"\r\n"
      u"@=\"x\"\r\n"
      u"\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,\\\r\n"
      u"  00,25,00,00,00\r\n"
      u"\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
      u"\"Big\"=hex(b):01,00,00,00,00,00,00,00\r\n"
      u"\"Count\"=dword:FFFFFFFF\r\n";
  const std::vector<std::string> expected = {
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Shop]",
      Describe(Value(u"Name", reg::kSz, ToAnsi(u"收银") + '\0')),
      Describe(Value(u"", reg::kSz, "x\0"s)),
      Describe(Value(u"Path", reg::kExpandSz, "%SystemRoot%\0"s)),
      Describe(Value(u"List", reg::kMultiSz, "a\0b\0\0"s)),
      Describe(Value(u"Big", reg::kQword, "\x01\0\0\0\0\0\0\0"s)),
      Describe(Value(u"Count", reg::kDword, "\xFF\xFF\xFF\xFF")),
  };
  const struct {
    const char* label;
    std::string bytes;
  } rows[] = {
      {"UTF-16LE with its mark", Utf16File(body)},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + ToUtf8(body)},
      {"UTF-8 without a mark", ToUtf8(body)},
      {"LF line ends",
       [&] {
         std::string lf = ToUtf8(body);
         for (size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
         return lf;
       }()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const RegText read = ParseRegText(row.bytes);
    EXPECT_EQ(read.form, RegTextForm::kVersion5);
    EXPECT_EQ(Describe(read), expected);
  }
}

TEST(RegistryText, Regedit4IsInTheAnsiCodePage) {
  const std::string bytes = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + ToAnsi(u"收银") + "]\r\n\"" +
                            ToAnsi(u"名") + "\"=\"" + ToAnsi(u"值") +
                            "\"\r\n\"Path\"=hex(2):25,41,25,00\r\n";
  const RegText read = ParseRegText(bytes);
  EXPECT_EQ(read.form, RegTextForm::kRegedit4);
  EXPECT_EQ(Describe(read), (std::vector<std::string>{
                                "[HKEY_CURRENT_USER\\收银]",
                                Describe(Value(u"名", reg::kSz, ToAnsi(u"值") + '\0')),
                                Describe(Value(u"Path", reg::kExpandSz, "%A%\0"s)),
                            }));
}

TEST(RegistryText, RootNamesLongAndShortInAnyCase) {
  const struct {
    const char* label;
    std::u16string line;
    RegHandle root;
    std::u16string path;
  } rows[] = {
      {"long", u"[HKEY_CURRENT_USER\\A]", reg::kCurrentUser, u"A"},
      {"long, lower case", u"[hkey_local_machine\\A\\B]", reg::kLocalMachine, u"A\\B"},
      {"HKCR", u"[HKCR\\.txt]", reg::kClassesRoot, u".txt"},
      {"HKCU", u"[hkcu\\A]", reg::kCurrentUser, u"A"},
      {"HKLM", u"[HKLM\\A]", reg::kLocalMachine, u"A"},
      {"HKU", u"[HKU\\.DEFAULT]", reg::kUsers, u".DEFAULT"},
      {"a root alone", u"[HKEY_USERS]", reg::kUsers, u""},
      {"current config", u"[HKEY_CURRENT_CONFIG\\A]", reg::kCurrentConfig, u"A"},
      {"a bracket inside a name", u"[HKCU\\a]b]", reg::kCurrentUser, u"a]b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const RegText read =
        ParseRegText(ToUtf8(u"Windows Registry Editor Version 5.00\n" + row.line + u"\n"));
    ASSERT_EQ(read.keys.size(), 1u);
    EXPECT_EQ(read.keys[0].root, row.root);
    EXPECT_EQ(read.keys[0].path, row.path);
    EXPECT_EQ(read.keys[0].line, 2u);
  }
}

TEST(RegistryText, DeletionsOfKeysAndValues) {
  const RegText read = ParseRegText(
      "REGEDIT4\n[-HKEY_CURRENT_USER\\Old\\Tree]\n[HKCU\\Keep]\n\"gone\"=-\n@=-\n\"kept\"=\"1\"\n");
  EXPECT_EQ(Describe(read), (std::vector<std::string>{
                                "[-HKEY_CURRENT_USER\\Old\\Tree]",
                                "[HKEY_CURRENT_USER\\Keep]",
                                "\"gone\"=-",
                                "\"\"=-",
                                Describe(Value(u"kept", reg::kSz, "1\0"s)),
                            }));
  EXPECT_EQ(read.keys[1].values[2].line, 6u);
}

TEST(RegistryText, BadLinesNameTheirLineAndChangeNothing) {
  const std::string v5 = "Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\A]\r\n";
  const struct {
    const char* label;
    std::string text;
    size_t line;
    const char* says;
  } rows[] = {
      {"empty text", "", 1, "the first line must be"},
      {"no header", "[HKCU\\A]\r\n", 1, "the first line must be"},
      {"another version", "Windows Registry Editor Version 6.00\r\n", 1, "the first line"},
      {"a value before any key", "REGEDIT4\r\n\r\n\"a\"=\"1\"\r\n", 3, "before the first [KEY]"},
      {"a key without its bracket", v5 + "[HKCU\\B\r\n", 4, "must end with \"]\""},
      {"text after the bracket", v5 + "[HKCU\\B] x\r\n", 4, "must end with \"]\""},
      {"an unknown root", v5 + "[HKEY_NOWHERE\\B]\r\n", 4, "does not start with a root"},
      {"a short name that is no root", v5 + "[HKXX\\B]\r\n", 4, "does not start with a root"},
      {"deleting a root", v5 + "[-HKCU]\r\n", 4, "a root cannot be deleted"},
      {"a value under a deleted key", v5 + "[-HKCU\\B]\r\n\"a\"=\"1\"\r\n", 5, "being deleted"},
      {"a name without quotes", v5 + "a=\"1\"\r\n", 4, "expected \"name\"=value"},
      {"no equals sign", v5 + "\"a\" \"1\"\r\n", 4, "expected \"=\""},
      {"nothing after the equals sign", v5 + "\"a\"=\r\n", 4, "a value must be"},
      {"an unclosed name", v5 + "\"a=1\r\n", 4, "no closing quote"},
      {"an unclosed text", v5 + "\"a\"=\"1\r\n", 4, "no closing quote"},
      {"an unknown escape", v5 + "\"a\"=\"C:\\dir\"\r\n", 4, "a backslash in quotes"},
      {"a lone backslash at the end", v5 + "\"a\"=\"x\\\r\n", 4, "a backslash in quotes"},
      {"text after the closing quote", v5 + "\"a\"=\"1\" 2\r\n", 4, "after the closing quote"},
      {"an unknown type word", v5 + "\"a\"=qword:1\r\n", 4, "a value must be"},
      {"dword without digits", v5 + "\"a\"=dword:\r\n", 4, "1 to 8 hexadecimal digits"},
      {"dword of nine digits", v5 + "\"a\"=dword:000000001\r\n", 4, "1 to 8 hexadecimal"},
      {"dword not hexadecimal", v5 + "\"a\"=dword:0000002g\r\n", 4, "1 to 8 hexadecimal"},
      {"a byte of three digits", v5 + "\"a\"=hex:012\r\n", 4, "\"012\" is not a byte"},
      {"a byte not hexadecimal", v5 + "\"a\"=hex:01,zz\r\n", 4, "\"zz\" is not a byte"},
      {"two commas", v5 + "\"a\"=hex:01,,02\r\n", 4, "\"\" is not a byte"},
      {"hex without a colon", v5 + "\"a\"=hex 01\r\n", 4, "expected \":\" after hex"},
      {"hex(N) without N", v5 + "\"a\"=hex():01\r\n", 4, "for N"},
      {"hex(N) unclosed", v5 + "\"a\"=hex(2:01\r\n", 4, "for N"},
      {"hex(N) not hexadecimal", v5 + "\"a\"=hex(x):01\r\n", 4, "for N"},
      {"continued past the end", v5 + "\"a\"=hex:01,\\\r\n", 4, "past the end"},
      {"a fault after continued lines", v5 + "\"a\"=hex:01,\\\r\n  02,\\\r\n  03\r\n\"b\"\r\n", 7,
       "expected \"=\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    try {
      ParseRegText(row.text);
      ADD_FAILURE() << "accepted";
    } catch (const RegTextError& e) {
      EXPECT_EQ(e.line(), row.line);
      const std::string what = e.what();
      EXPECT_EQ(what.rfind("line " + std::to_string(row.line) + ": ", 0), 0u) << what;
      EXPECT_NE(what.find(row.says), std::string::npos) << what;
    }
  }
}

TEST(RegistryText, HexListsTakeBlanksContinuationsAndAClosingComma) {
  const struct {
    const char* label;
    std::string value;
    std::string data;
  } rows[] = {
      {"empty list", "hex:", ""},
      {"one digit bytes", "hex:1,a", "\x01\x0A"},
      {"upper-case digits", "hex:AB,Cd", "\xAB\xCD"},
      {"blanks around bytes", "hex: 01 , 02 ", "\x01\x02"},
      {"a comma at the end", "hex:01,02,", "\x01\x02"},
      {"continued twice", "hex:01,\\\n   02,\\\n\t03", "\x01\x02\x03"},
      {"continued after a byte without its comma", "hex:01\\\n  ,02", "\x01\x02"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const RegText read =
        ParseRegText("REGEDIT4\n[HKCU\\A]\n\"v\"=" + row.value + "\n@=\"after\"\n");
    ASSERT_EQ(read.keys[0].values.size(), 2u);
    EXPECT_EQ(read.keys[0].values[0].data, row.data);
    EXPECT_EQ(read.keys[0].values[1].data, "after\0"s) << "the next line is read as its own";
  }
}

}  // namespace
}  // namespace kavrolin::rules
