#include "toolkit/text/list_commas.h"

namespace kavrolin::toolkit::text {
namespace {

constexpr char16_t kFullWidthComma = u'\uFF0C';
constexpr TextView kNullWord = u"NULL";

bool IsValueEdge(char16_t unit) { return unit == u'\'' || (unit >= u'0' && unit <= u'9'); }

}  // namespace

Text StrReplaceComma(const Variant& strText) {
  const Text s = strText.ToText();
  try {
    const size_t window = kNullWord.size();
    Text result;
    result.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] != u',') {
        result.push_back(s[i]);
        continue;
      }
      const TextView view(s);
      const bool left_is_value =
          (i > 0 && IsValueEdge(s[i - 1])) ||
          (i >= window && EqualsIgnoreCase(view.substr(i - window, window), kNullWord));
      const bool right_is_value =
          (i + 1 < s.size() && IsValueEdge(s[i + 1])) ||
          EqualsIgnoreCase(view.substr(i + 1, window), kNullWord);
      result.push_back(left_is_value && right_is_value ? u',' : kFullWidthComma);
    }
    return result;
  } catch (...) {
    return s;
  }
}

}  // namespace kavrolin::toolkit::text
