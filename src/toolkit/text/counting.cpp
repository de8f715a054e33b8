#include "toolkit/text/counting.h"

#include <limits>

#include "base/automation_error.h"

namespace kavrolin::toolkit::text {

Variant CalculateStr(const Text& StrBeSeach, const Variant& strFind, int16_t& Counter) {
  // Null compares equal to nothing.
  if (strFind.is_null()) return Variant(Counter);
  const Text find = strFind.ToText();
  if (find.size() != 1) return Variant(Counter);
  for (const char16_t unit : StrBeSeach) {
    if (unit != find.front()) continue;
    if (Counter == std::numeric_limits<int16_t>::max()) {
      throw AutomationError(ErrorNumber::kOverflow);
    }
    ++Counter;
  }
  return Variant(Counter);
}

}  // namespace kavrolin::toolkit::text
