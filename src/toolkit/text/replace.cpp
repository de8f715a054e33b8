#include "toolkit/text/replace.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace kavrolin::toolkit::text {
namespace {

// A replacement no shorter than what it replaces can keep recreating
// occurrences without ever making the text longer; bound the work it may take.
// The work counts the units of each pass's text, as a pass over the whole text
// would examine them, so the bound gives up on the same calls whatever the
// passes really cost.
constexpr int64_t kMaxReplaceWork = int64_t{1} << 28;

constexpr uint32_t kNone = UINT32_MAX;

// The passes, without a pass costing the whole text.
//
// A pass can only leave occurrences that overlap what it wrote (or, for an
// empty replacement, that span a place where it removed units): an occurrence
// lying wholly in untouched units was there before the pass, and the pass
// skipped it only because it overlapped an occurrence it replaced, which
// rewrote some of its units. So after the first pass, each pass searches only
// the neighbourhood of the previous pass's changes, and the text is a list of
// units, so that a replacement costs its own length. A pass that changes one
// place in a long text costs |strFind| + |strReplace| units, not the text's
// length; a text that shrinks by one unit a pass is no longer quadratic.
class RepeatedReplacement {
 public:
  RepeatedReplacement(const Text& text, const Text& find, const Text& replacement)
      : find_(find), replacement_(replacement), border_(find.size() + 1, 0), ring_(find.size()) {
    for (size_t q = 1, k = 0; q < find.size(); ++q) {
      while (k > 0 && find[q] != find[k]) k = border_[k];
      if (find[q] == find[k]) ++k;
      border_[q + 1] = k;
    }
    unit_.assign(text.begin(), text.end());
    next_.resize(text.size());
    prev_.resize(text.size());
    fed_at_.assign(text.size(), 0);
    for (uint32_t i = 0; i < text.size(); ++i) {
      next_[i] = i + 1 < text.size() ? i + 1 : kNone;
      prev_[i] = i > 0 ? i - 1 : kNone;
    }
    length_ = text.size();
    if (!text.empty()) {
      head_ = 0;
      changes_.push_back({0, static_cast<uint32_t>(text.size() - 1)});
    }
  }

  // The text once no strFind is left; nothing when the replacement is taken
  // to be one that never ends.
  std::optional<Text> Run() {
    const size_t f = find_.size(), r = replacement_.size();
    const size_t limit = std::max(length_, static_cast<size_t>(kMaxReplacedLength));
    int64_t work = 0;
    for (;;) {
      FindOccurrences();
      if (found_.empty()) return Contents();
      work += static_cast<int64_t>(length_);
      if (r >= f && work > kMaxReplaceWork) return std::nullopt;
      const size_t removed = found_.size() * f, added = found_.size() * r;
      if (added > limit || length_ - removed > limit - added) return std::nullopt;
      new_changes_.clear();
      for (uint32_t first : found_) Replace(first);
      length_ = length_ - removed + added;
      changes_.swap(new_changes_);
    }
  }

 private:
  struct Change {
    uint32_t first, last;  // the units a replacement wrote; for an empty one, the unit before the gap
  };

  // The occurrences this pass replaces, by their first unit, in text order:
  // left to right, without overlaps. Each change of the last pass adds the
  // stretch from |strFind| - 1 units before it to |strFind| - 1 units after
  // it; stretches that meet are searched as one, with one matcher state.
  void FindOccurrences() {
    found_.clear();
    const size_t f = find_.size();
    const uint64_t pass_begin = tick_;
    uint64_t taken_end = pass_begin;  // tick of the last unit of the last occurrence taken
    uint32_t cursor = kNone;
    size_t matched = 0;
    for (const Change& change : changes_) {
      uint32_t start = change.first;
      for (size_t i = 1; i < f && prev_[start] != kNone; ++i) start = prev_[start];
      if (fed_at_[start] <= pass_begin) {
        cursor = start;
        matched = 0;
      }
      uint64_t end = fed_at_[change.last] > pass_begin ? fed_at_[change.last] + f - 1 : UINT64_MAX;
      while (cursor != kNone && tick_ < end) {
        const uint32_t node = cursor;
        cursor = next_[node];
        fed_at_[node] = ++tick_;
        ring_[tick_ % f] = node;
        if (node == change.last) end = tick_ + f - 1;
        const char16_t unit = unit_[node];
        while (matched > 0 && (matched == f || find_[matched] != unit)) matched = border_[matched];
        if (find_[matched] == unit) ++matched;
        if (matched == f && tick_ - f + 1 > taken_end) {
          found_.push_back(ring_[(tick_ - f + 1) % f]);
          taken_end = tick_;
        }
      }
    }
  }

  // Writes strReplace over the occurrence that starts at `first`, dropping or
  // adding units where the lengths differ, and notes the change.
  void Replace(uint32_t first) {
    const size_t f = find_.size(), r = replacement_.size();
    const uint32_t before = prev_[first];
    uint32_t node = first, last = kNone;
    const size_t kept = std::min(f, r);
    for (size_t i = 0; i < kept; ++i) {
      unit_[node] = replacement_[i];
      last = node;
      node = next_[node];
    }
    if (f > r) {
      uint32_t after = node;
      for (size_t i = kept; i < f; ++i) after = next_[after];
      const uint32_t left = last != kNone ? last : before;
      if (left != kNone) next_[left] = after;
      else head_ = after;
      if (after != kNone) prev_[after] = left;
    } else {
      for (size_t i = kept; i < r; ++i) {
        const uint32_t added = static_cast<uint32_t>(unit_.size());
        const uint32_t after = next_[last];
        unit_.push_back(replacement_[i]);
        prev_.push_back(last);
        next_.push_back(after);
        fed_at_.push_back(0);
        next_[last] = added;
        if (after != kNone) prev_[after] = added;
        last = added;
      }
    }
    if (last != kNone) new_changes_.push_back({first, last});
    else if (before != kNone) new_changes_.push_back({before, before});
  }

  Text Contents() const {
    Text out;
    out.reserve(length_);
    for (uint32_t node = head_; node != kNone; node = next_[node]) out.push_back(unit_[node]);
    return out;
  }

  const Text& find_;
  const Text& replacement_;
  std::vector<size_t> border_;  // border_[q]: the longest proper border of find_'s first q units
  std::vector<uint32_t> ring_;  // the last |strFind| units fed, by tick
  // The units; a removed one stays in the vectors, unlinked.
  std::vector<char16_t> unit_;
  std::vector<uint32_t> next_, prev_;
  std::vector<uint64_t> fed_at_;  // the tick a unit was last searched at; ticks only grow
  uint64_t tick_ = 0;
  uint32_t head_ = kNone;
  size_t length_ = 0;
  std::vector<Change> changes_, new_changes_;
  std::vector<uint32_t> found_;
};

}  // namespace

Text StrReplaceRepeat(const Variant& strText, const Text& strFind, const Text& strReplace) {
  // Outside the guard: a value without a text form cannot be answered unchanged.
  const Text original = strText.ToText();
  if (strFind.empty() || strReplace.find(strFind) != Text::npos) return original;
  // The units are numbered in 32 bits; a longer text is past the growth cap.
  if (original.size() >= kNone - static_cast<size_t>(kMaxReplacedLength)) return original;

  try {
    std::optional<Text> result = RepeatedReplacement(original, strFind, strReplace).Run();
    return result ? std::move(*result) : original;
  } catch (...) {
    return original;
  }
}

}  // namespace kavrolin::toolkit::text
