#include "rules/registry_path.h"

#include "rules/registry_types.h"

namespace kavrolin::rules {

int32_t SplitKeyPath(TextView path, std::vector<Text>& names) {
  if (path.empty()) return reg::kSuccess;
  if (path.front() == u'\\') return reg::kBadPathname;
  if (path.back() == u'\\') path.remove_suffix(1);
  for (size_t start = 0;;) {
    const size_t end = path.find(u'\\', start);
    const TextView part = path.substr(start, end - start);
    if (part.empty()) return reg::kBadPathname;
    if (part.size() > kMaxKeyNameLength) return reg::kInvalidParameter;
    names.emplace_back(part);
    if (end == TextView::npos) return reg::kSuccess;
    start = end + 1;
  }
}

}  // namespace kavrolin::rules
