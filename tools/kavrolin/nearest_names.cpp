#include "kavrolin/nearest_names.h"

#include <algorithm>
#include <cctype>

namespace kavrolin::cli {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

size_t Distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool Begins(std::string_view text, std::string_view prefix) {
  if (prefix.empty() || prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> NearestNames(std::string_view typed, const std::vector<std::string>& candidates,
                                      size_t most) {
  const size_t allowed = std::max<size_t>(2, typed.size() / 3);
  std::vector<std::pair<size_t, std::string>> near;
  for (const std::string& name : candidates) {
    const size_t d = Distance(typed, name);
    if (d <= allowed || Begins(name, typed)) near.emplace_back(d, name);
  }
  std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (size_t i = 0; i < near.size() && i < most; ++i) names.push_back(near[i].second);
  return names;
}

std::string DidYouMean(std::string_view typed, const std::vector<std::string>& candidates) {
  const std::vector<std::string> names = NearestNames(typed, candidates);
  if (names.empty()) return "";
  std::string text = "; did you mean ";
  for (size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  }
  return text + "?";
}

}  // namespace kavrolin::cli
