// "Did you mean" hints: the candidates nearest to a mistyped name by edit
// distance, letter case ignored, closest first. A candidate qualifies when it
// is at most a third of the typed name's length away (at least 2 edits), or
// when the typed text begins it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavrolin::cli {

std::vector<std::string> NearestNames(std::string_view typed, const std::vector<std::string>& candidates,
                                      size_t most = 3);

// "; did you mean sale or void-sale?", or "" when nothing is near.
std::string DidYouMean(std::string_view typed, const std::vector<std::string>& candidates);

}  // namespace kavrolin::cli
