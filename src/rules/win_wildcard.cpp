#include "rules/win_wildcard.h"

#include <vector>

#include "base/upper_case.h"

namespace kavrolin::rules::win_wildcard {
namespace {

// The pattern after the platform's rewrite: plain characters and the five
// kinds of wildcard.
enum class Kind : uint8_t { kChar, kStar, kQuestion, kDosDot, kDosStar };
struct Token {
  Kind kind;
  char16_t c;  // kChar only, folded
};

// `pattern` is folded already: names compare by their folds.
std::vector<Token> Rewrite(TextView pattern) {
  std::vector<Token> tokens;
  if (pattern == u"*.*") return {{Kind::kStar, 0}};
  tokens.reserve(pattern.size());
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : 0;
    const bool at_end = i + 1 == pattern.size();
    if (c == u'?') {
      tokens.push_back({Kind::kQuestion, 0});
    } else if (c == u'*') {
      // A run of stars matches what one star matches; only the last one of
      // the run can meet a "." after it.
      if (next == u'*') continue;
      tokens.push_back({next == u'.' ? Kind::kDosStar : Kind::kStar, 0});
    } else if (c == u'.' && (at_end || next == u'?' || next == u'*')) {
      tokens.push_back({Kind::kDosDot, 0});
    } else {
      tokens.push_back({Kind::kChar, c});
    }
  }
  return tokens;
}

// Whether the tokens match the whole name: a table of "tokens from t on match
// the name from n on", filled from the ends backwards, so a pattern of many
// wildcards costs at most tokens x name steps and no recursion.
bool MatchTokens(const std::vector<Token>& tokens, TextView name_in) {
  const Text name = FoldName(name_in);
  const size_t size = name.size();
  size_t plain = 0;
  for (const Token& token : tokens) plain += token.kind == Kind::kChar ? 1 : 0;
  if (plain > size) return false;  // each plain character takes one of the name's

  const size_t last_dot = name.rfind(u'.');
  const size_t width = size + 1;
  std::vector<uint8_t> table((tokens.size() + 1) * width, 0);
  auto at = [&](size_t t, size_t n) -> uint8_t& { return table[t * width + n]; };
  at(tokens.size(), size) = 1;
  for (size_t t = tokens.size(); t-- > 0;) {
    const Token& token = tokens[t];
    // For the stars: whether any k in [n, end] has at(t + 1, k), scanning n
    // downwards.
    bool any_from_n = false;
    for (size_t n = size + 1; n-- > 0;) {
      any_from_n = any_from_n || at(t + 1, n);
      bool match = false;
      switch (token.kind) {
        case Kind::kChar:
          match = n < size && name[n] == token.c && at(t + 1, n + 1);
          break;
        case Kind::kStar:
          match = any_from_n;
          break;
        case Kind::kDosStar: {
          const size_t limit = (last_dot != Text::npos && last_dot >= n) ? last_dot : size;
          for (size_t k = n; k <= limit && !match; ++k) match = at(t + 1, k);
          break;
        }
        case Kind::kQuestion:
          if (n < size && name[n] != u'.') {
            match = at(t + 1, n + 1);
          } else {
            // At a "." or the end, the rest of this run of "?" matches nothing.
            size_t after = t;
            while (after < tokens.size() && tokens[after].kind == Kind::kQuestion) ++after;
            match = at(after, n);
          }
          break;
        case Kind::kDosDot:
          match = n == size ? at(t + 1, n) : (name[n] == u'.' && at(t + 1, n + 1));
          break;
      }
      at(t, n) = match ? 1 : 0;
    }
  }
  return at(0, 0) != 0;
}

}  // namespace

bool Matches(TextView pattern, TextView name) {
  return MatchTokens(Rewrite(FoldName(pattern)), name);
}

}  // namespace kavrolin::rules::win_wildcard
