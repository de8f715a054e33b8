// File-name patterns as the platform's directory search reads them, as a pure
// text function, so the rule is tested on any host.
//
// Names compare by their folds (FoldName in base/upper_case.h), as file
// names do everywhere. "*" matches any run of
// characters, dots included. Before matching, the search rewrites the pattern
// the way the platform's own search does:
//   - "*.*" alone becomes "*": every name, with or without an extension;
//   - "?" matches one character other than "."; a run of "?" met at a "." or
//     at the end of the name may match fewer characters ("a??" matches "a",
//     "ab" and "abc");
//   - a "." followed by "?", "*" or the end of the pattern also matches the
//     end of a name without one ("a.*" and "a." match "a");
//   - a "*" followed by "." stops before the name's last "." ("*.tmp" matches
//     "x.y.tmp", not "a.tmp.bak"; "*." matches only names without a dot).
// The platform's additional matching against generated short (8.3) names is
// not made: only the names themselves count.
#pragma once

#include "base/text.h"

namespace kavrolin::rules::win_wildcard {

constexpr bool HasWildcards(TextView pattern) {
  for (char16_t c : pattern) {
    if (c == u'*' || c == u'?') return true;
  }
  return false;
}

bool Matches(TextView pattern, TextView name);

}  // namespace kavrolin::rules::win_wildcard
