#include "toolkit/text/replace.h"

#include <algorithm>
#include <optional>

namespace kavrolin::toolkit::text {
namespace {

// A replacement no shorter than what it replaces can keep recreating
// occurrences without ever making the text longer; bound the work it may take.
constexpr int64_t kMaxReplaceWork = int64_t{1} << 28;

// One pass; nothing when the result would outgrow limit. The result's size is
// known before it is built, so a runaway replacement never allocates it.
std::optional<Text> ReplaceAll(const Text& s, const Text& find, const Text& replacement,
                               size_t limit) {
  size_t count = 0;
  for (size_t at = s.find(find); at != Text::npos; at = s.find(find, at + find.size())) ++count;
  const size_t removed = count * find.size();
  const size_t added = count * replacement.size();
  if (added > limit || s.size() - removed > limit - added) return std::nullopt;

  Text out;
  out.reserve(s.size() - removed + added);
  size_t from = 0;
  for (size_t at = s.find(find); at != Text::npos; at = s.find(find, from)) {
    out.append(s, from, at - from);
    out.append(replacement);
    from = at + find.size();
  }
  out.append(s, from, Text::npos);
  return out;
}

}  // namespace

Text StrReplaceRepeat(const Variant& strText, const Text& strFind, const Text& strReplace) {
  // Outside the guard: a value without a text form cannot be answered unchanged.
  const Text original = strText.ToText();
  if (strFind.empty() || strReplace.find(strFind) != Text::npos) return original;

  try {
    const bool shrinks = strReplace.size() < strFind.size();
    const size_t limit = std::max(original.size(), static_cast<size_t>(kMaxReplacedLength));
    int64_t work = 0;
    Text s = original;
    while (s.find(strFind) != Text::npos) {
      work += static_cast<int64_t>(s.size());
      if (!shrinks && work > kMaxReplaceWork) return original;
      std::optional<Text> next = ReplaceAll(s, strFind, strReplace, limit);
      if (!next) return original;
      s = std::move(*next);
    }
    return s;
  } catch (...) {
    return original;
  }
}

}  // namespace kavrolin::toolkit::text
