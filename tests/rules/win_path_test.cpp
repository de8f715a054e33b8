#include "rules/win_path.h"

#include <gtest/gtest.h>

namespace kavrolin::rules::win_path {
namespace {

struct PartsRow {
  const char* label;
  Text path;
  Text drive, file, base, extension, parent;
};

TEST(WinPath, PartsOfPaths) {
  const PartsRow rows[] = {
      {"empty", u"", u"", u"", u"", u"", u""},
      {"drive_only", u"C:", u"C:", u"", u"", u"", u""},
      {"drive_root", u"C:\\", u"C:", u"", u"", u"", u""},
      {"file_under_root_keeps_root_separator", u"C:\\T.T", u"C:", u"T.T", u"T", u"T", u"C:\\"},
      {"nested_file", u"D:\\logs\\app.txt", u"D:", u"app.txt", u"app", u"txt", u"D:\\logs"},
      {"last_dot_only", u"C:\\a\\b.tar.gz", u"C:", u"b.tar.gz", u"b.tar", u"gz", u"C:\\a"},
      {"dot_in_folder_not_file", u"C:\\a.b\\c", u"C:", u"c", u"c", u"", u"C:\\a.b"},
      {"trailing_separator", u"C:\\POS\\LOG\\", u"C:", u"LOG", u"LOG", u"", u"C:\\POS"},
      {"doubled_separator", u"C:\\a\\\\b", u"C:", u"b", u"b", u"", u"C:\\a"},
      {"forward_slashes", u"c:/a/b.x", u"c:", u"b.x", u"b", u"x", u"c:/a"},
      {"drive_relative", u"C:a.txt", u"C:", u"a.txt", u"a", u"txt", u"C:"},
      {"bare_name", u"app.log", u"", u"app.log", u"app", u"log", u""},
      {"dot_file", u"C:\\.profile", u"C:", u".profile", u"", u"profile", u"C:\\"},
      {"rooted", u"\\a", u"", u"a", u"a", u"", u"\\"},
      {"unc_root", u"\\\\srv\\share", u"\\\\srv\\share", u"", u"", u"", u""},
      {"unc_file", u"\\\\srv\\share\\x.y", u"\\\\srv\\share", u"x.y", u"x", u"y",
       u"\\\\srv\\share"},
      {"chinese", u"C:\\收银\\日志.txt", u"C:", u"日志.txt", u"日志", u"txt", u"C:\\收银"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(DriveName(row.path), row.drive);
    EXPECT_EQ(FileName(row.path), row.file);
    EXPECT_EQ(BaseName(row.path), row.base);
    EXPECT_EQ(ExtensionName(row.path), row.extension);
    EXPECT_EQ(ParentFolderName(row.path), row.parent);
  }
}

struct ParseRow {
  const char* label;
  Text path;
  PathKind kind;
  std::vector<Text> components;
  bool valid = true;
};

TEST(WinPath, ParseNormalises) {
  const ParseRow rows[] = {
      {"empty_names_nothing", u"", PathKind::kEmpty, {}},
      {"dotdot_never_above_root", u"C:\\..\\..\\etc", PathKind::kDrive, {u"etc"}},
      {"dotdot_pops", u"C:\\a\\b\\..\\c", PathKind::kDrive, {u"a", u"c"}},
      {"dots_and_doubles", u"C:\\.\\a\\\\b\\.", PathKind::kDrive, {u"a", u"b"}},
      {"trailing_dots_and_blanks_stripped", u"C:\\name. .\\x", PathKind::kDrive, {u"name", u"x"}},
      {"unc_keeps_server_and_share", u"\\\\s\\sh\\..\\..\\x", PathKind::kUnc, {u"s", u"sh", u"x"}},
      {"host_path", u"/etc/../etc/hosts", PathKind::kHost, {u"etc", u"hosts"}},
      {"relative", u"a\\b", PathKind::kRelative, {u"a", u"b"}},
      {"wildcard_is_no_name", u"C:\\*.txt", PathKind::kDrive, {u"*.txt"}, false},
      {"colon_inside_is_no_name", u"C:\\a:b", PathKind::kDrive, {u"a:b"}, false},
      {"pipe_is_no_name", u"C:\\a|b", PathKind::kDrive, {u"a|b"}, false},
      {"quote_is_no_name", u"C:\\a\"b", PathKind::kDrive, {u"a\"b"}, false},
      {"angle_brackets_are_no_name", u"C:\\<a>", PathKind::kDrive, {u"<a>"}, false},
      {"question_mark_is_no_name", u"C:\\a?", PathKind::kDrive, {u"a?"}, false},
      {"control_is_no_name", Text(u"C:\\a\x1F"), PathKind::kDrive, {Text(u"a\x1F")}, false},
      {"other_punctuation_and_beyond_ascii_are_names", u"C:\\a+b=c,d;[e]~\x7F收银",
       PathKind::kDrive, {u"a+b=c,d;[e]~\x7F收银"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const ParsedPath parsed = Parse(row.path);
    EXPECT_EQ(parsed.kind, row.kind);
    EXPECT_EQ(parsed.components, row.components);
    EXPECT_EQ(parsed.valid_names, row.valid);
  }
  EXPECT_EQ(Parse(u"c:\\x").drive, u'C');
  EXPECT_TRUE(Parse(u"C:\\x\\").trailing_separator);
}

}  // namespace
}  // namespace kavrolin::rules::win_path
