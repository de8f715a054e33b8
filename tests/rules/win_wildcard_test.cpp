#include "rules/win_wildcard.h"

#include <gtest/gtest.h>

namespace kavrolin::rules::win_wildcard {
namespace {

TEST(WinWildcardTest, Matches) {
  const struct {
    const char* label;
    Text pattern;
    Text name;
    bool matches;
  } rows[] = {
      // Boundaries first.
      {"empty pattern, empty name", u"", u"", true},
      {"empty pattern", u"", u"a", false},
      {"star alone", u"*", u"a", true},
      {"star matches a dotted name", u"*", u"a.b.c", true},
      {"star-dot-star matches no extension", u"*.*", u"readme", true},
      {"star-dot-star matches a dotted name", u"*.*", u"a.txt", true},
      {"exact name", u"a$b.tmp", u"a$b.tmp", true},
      {"exact name, other case", u"A$B.TMP", u"a$b.tmp", true},
      {"exact name, longer", u"a$b.tmp", u"a$b.tmpx", false},
      {"exact name, shorter", u"a$b.tmp", u"a$b.tm", false},
      // Extensions.
      {"star-dot-ext", u"*.tmp", u"a.tmp", true},
      {"star-dot-ext, other case", u"*.TMP", u"a.tmp", true},
      {"star-dot-ext, several dots", u"*.tmp", u"x.y.tmp", true},
      {"star-dot-ext, other extension", u"*.tmp", u"a.tmp.bak", false},
      {"star-dot-ext, longer extension", u"*.tmp", u"a.tmpl", false},
      {"star-dot-ext, no name before the dot", u"*.tmp", u".tmp", true},
      {"star-dot-ext, no dot", u"*.tmp", u"tmp", false},
      {"prefix star", u"a*", u"abc.txt", true},
      {"prefix star, other start", u"a*", u"bac", false},
      {"star in the middle", u"a*c", u"abbbc", true},
      {"star in the middle, crossing dots", u"a*c", u"a.b.c", true},
      {"several stars", u"*a*b*", u"xxaxxbxx", true},
      {"several stars, wrong order", u"*a*b*", u"xxbxxaxx", false},
      {"run of stars", u"***.tmp", u"a.tmp", true},
      // The question mark.
      {"question matches one", u"a?c", u"abc", true},
      {"question never matches a dot", u"a?c", u"a.c", false},
      {"trailing questions may match fewer", u"a??", u"a", true},
      {"trailing questions, one", u"a??", u"ab", true},
      {"trailing questions, two", u"a??", u"abc", true},
      {"trailing questions, too many", u"a??", u"abcd", false},
      {"questions before the dot may match fewer", u"a??.txt", u"a.txt", true},
      {"questions before the dot, all", u"a??.txt", u"abc.txt", true},
      {"questions before the dot, too many", u"a??.txt", u"abcd.txt", false},
      {"leading question needs a character", u"?b", u"b", false},
      // Dots before wildcards or at the end.
      {"dot-star matches no extension", u"a.*", u"a", true},
      {"dot-star matches an extension", u"a.*", u"a.txt", true},
      {"dot-star, other name", u"a.*", u"ab", false},
      {"star-dot matches names without a dot", u"*.", u"readme", true},
      {"star-dot rejects names with a dot", u"*.", u"read.me", false},
      {"trailing dot matches the bare name", u"a.", u"a", true},
      {"dot-question matches no extension", u"a.?", u"a", true},
      {"dot-question matches one character", u"a.?", u"a.b", true},
      // Beyond ASCII.
      {"chinese name", u"*.日志", u"今天.日志", true},
      {"accented letter case", u"\u00c9T\u00c9.*", u"\u00e9t\u00e9.txt", true},
      {"small umlaut pattern, capital name", u"\u00e4pfel.*", u"\u00c4PFEL.TXT", true},
      {"cyrillic, other case", u"\u0436\u0443\u0440\u043d\u0430\u043b?.*", u"\u0416\u0423\u0420\u041d\u0410\u041b1.log", true},
      {"greek final sigma is sigma", u"\u03a3\u03a3.*", u"\u03c3\u03c2.txt", true},
      {"dotless i is not I", u"\u0131*", u"I.txt", false},
      {"plain characters outnumber the name", u"abcdef*", u"abc", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(Matches(row.pattern, row.name), row.matches);
  }
}

TEST(WinWildcardTest, HasWildcards) {
  EXPECT_FALSE(HasWildcards(u""));
  EXPECT_FALSE(HasWildcards(u"a$b.tmp"));
  EXPECT_TRUE(HasWildcards(u"*"));
  EXPECT_TRUE(HasWildcards(u"a?"));
}

TEST(WinWildcardTest, LongPatternsStayCheap) {
  // Stars and questions in bulk neither recurse deeply nor take long.
  Text pattern;
  for (int i = 0; i < 5000; ++i) pattern += u"*?";
  EXPECT_TRUE(Matches(pattern, Text(200, u'a')));  // each "?" may match nothing at the end
  EXPECT_FALSE(Matches(pattern + u"b", Text(200, u'a')));
  EXPECT_TRUE(Matches(Text(20000, u'*') + u"a", Text(200, u'a')));
}

}  // namespace
}  // namespace kavrolin::rules::win_wildcard
