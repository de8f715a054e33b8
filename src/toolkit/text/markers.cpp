#include "toolkit/text/markers.h"

namespace kavrolin::toolkit::text {

Text StrDelimiter(const Variant& strText, const Text& strDelimiter1, const Text& strDelimiter2) {
  try {
    const Text s = strText.ToText();
    // An empty text holds no marker, not even an empty one.
    if (s.empty()) return {};
    const size_t open = s.find(strDelimiter1);
    if (open == Text::npos) return {};
    const size_t close = s.find(strDelimiter2, open);
    const size_t inner = open + strDelimiter1.size();
    if (close == Text::npos || close < inner) return {};
    return s.substr(inner, close - inner);
  } catch (...) {
    return {};
  }
}

}  // namespace kavrolin::toolkit::text
