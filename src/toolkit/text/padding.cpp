#include "toolkit/text/padding.h"

#include "base/automation_error.h"

namespace kavrolin::toolkit::text {

Text FormatStrLn(const Text& pStr, int32_t StrLng, Text& ShowStr, bool IsRightAlign) {
  if (StrLng <= 0 || pStr.size() >= static_cast<size_t>(StrLng)) return pStr;

  if (ShowStr.size() > 1) {
    ShowStr.resize(1);
  } else if (ShowStr.empty()) {
    ShowStr.assign(1, u' ');
  }
  if (StrLng > kMaxPaddedWidth) throw AutomationError(ErrorNumber::kOutOfMemory);

  const Text run(static_cast<size_t>(StrLng) - pStr.size(), ShowStr.front());
  return IsRightAlign ? run + pStr : pStr + run;
}

}  // namespace kavrolin::toolkit::text
