#include "toolkit/path/path_parts.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace kavrolin::toolkit::path {
namespace {

using kavrolin::testing::ErrorOf;

TEST(PathPartsTest, SplitsByScanningFromTheRight) {
  const struct {
    const char* label;
    Text in;
    Text path;       // ParsePath and GetPath
    Text file_name;  // ParseFileName
    Text ext;        // GetFileExt
  } rows[] = {
      // Boundaries first.
      {"empty", u"", u"", u"", u""},
      {"one backslash", u"\\", u"\\", u"", u"\\"},
      {"one colon", u":", u":", u":", u":"},
      {"one dot", u".", u"", u".", u""},
      {"one letter", u"a", u"", u"a", u"a"},
      // The documented rows.
      {"full path", u"C:\\data\\in\\file.txt", u"C:\\data\\in\\", u"file.txt", u"txt"},
      {"drive-relative file", u"C:file.txt", u"C:", u"C:file.txt", u"txt"},
      {"bare file", u"file.txt", u"", u"file.txt", u"txt"},
      {"folder with trailing backslash", u"C:\\data\\", u"C:\\data\\", u"", u"C:\\data\\"},
      {"no dot", u"readme", u"", u"readme", u"readme"},
      {"dot at the end", u"file.", u"", u"file.", u""},
      {"dot in a folder name", u"C:\\v1.2\\readme", u"C:\\v1.2\\", u"readme", u"2\\readme"},
      {"leading dot", u".profile", u"", u".profile", u"profile"},
      // More.
      {"file at a drive root", u"C:\\a.b", u"C:\\", u"a.b", u"b"},
      {"drive only", u"C:", u"C:", u"C:", u"C:"},
      {"two extensions", u"C:\\a.tar.gz", u"C:\\", u"a.tar.gz", u"gz"},
      {"forward slashes are ordinary", u"C:/data/file.txt", u"C:", u"C:/data/file.txt", u"txt"},
      {"forward slashes only", u"data/file", u"", u"data/file", u"data/file"},
      {"network path", u"\\\\srv\\share\\a.txt", u"\\\\srv\\share\\", u"a.txt", u"txt"},
      {"colon after the last backslash", u"C:\\dir\\a:b", u"C:\\dir\\a:", u"a:b", u"C:\\dir\\a:b"},
      {"case and blanks kept", u"C:\\My Docs\\Read Me.TXT", u"C:\\My Docs\\", u"Read Me.TXT", u"TXT"},
      {"chinese names", u"C:\\日志\\今天.log", u"C:\\日志\\", u"今天.log", u"log"},
      {"NUL inside", Text(u"C:\\a\0b.c", 8), u"C:\\", Text(u"a\0b.c", 5), u"c"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ParsePath(row.in), row.path);
    EXPECT_EQ(GetPath(row.in), row.path);
    EXPECT_EQ(ParseFileName(row.in), row.file_name);
    EXPECT_EQ(GetFileExt(row.in), row.ext);
  }
}

TEST(PathPartsTest, TextsBeyond32767UnitsOverflow) {
  const struct {
    const char* label;
    Text in;
    int error;
  } rows[] = {
      {"32,767 units", u"C:\\" + Text(32760, u'a') + u".txt", 0},
      {"32,768 units", u"C:\\" + Text(32761, u'a') + u".txt", 6},
      {"far longer", Text(100000, u'a'), 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ErrorOf([&] { ParsePath(row.in); }), row.error);
    EXPECT_EQ(ErrorOf([&] { GetPath(row.in); }), row.error);
    EXPECT_EQ(ErrorOf([&] { ParseFileName(row.in); }), row.error);
    EXPECT_EQ(ErrorOf([&] { GetFileExt(row.in); }), row.error);
  }
  const Text longest = u"C:\\" + Text(32760, u'a') + u".txt";
  EXPECT_EQ(ParsePath(longest), u"C:\\");
  EXPECT_EQ(ParseFileName(longest), Text(32760, u'a') + u".txt");
  EXPECT_EQ(GetFileExt(longest), u"txt");
}

}  // namespace
}  // namespace kavrolin::toolkit::path
