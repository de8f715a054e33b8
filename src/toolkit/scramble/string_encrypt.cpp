#include "toolkit/scramble/string_encrypt.h"

#include <cmath>
#include <limits>
#include <string>

#include "base/automation_error.h"
#include "toolkit/component_title.h"
#include "toolkit/scramble/ansi_code.h"

namespace kavrolin::toolkit::scramble {
namespace {

int32_t NextKey(BasicRandom& generator) {
  for (;;) {
    // Single times Integer is a Single on the target platform: rounding the
    // product to float before the floor changes about one key in 2,000.
    const float product = static_cast<float>(static_cast<double>(generator.Next()) * 127.0);
    const auto k = static_cast<int32_t>(std::floor(product));
    if (k >= 32 && k <= 128) return k;
  }
}

void ShowFailure(platform::MessageBox& box, int32_t number, const Text& description) {
  box.Show(kComponentTitle, AsciiText(std::to_string(number)) + u"\\" + description);
}

}  // namespace

Text StringEnCrypt(platform::MessageBox& box, BasicRandom& generator, const Text& strSource,
                   int32_t& MA, Text& strTarget) {
  try {
    if (MA < 0) {
      if (MA == std::numeric_limits<int32_t>::min()) throw AutomationError(ErrorNumber::kOverflow);
      MA = -MA;
    }
    generator.Rnd(static_cast<float>(-MA));  // 0 leaves the stream where it is
    Text result;
    result.reserve(strSource.size());
    CodeCache cache;
    for (const char16_t unit : strSource) {
      const int32_t key = NextKey(generator);
      cache.Append(result, cache.Code(unit) ^ key);
    }
    strTarget = result;
    return result;
  } catch (const AutomationError& e) {
    ShowFailure(box, e.number(), e.description());
  } catch (...) {
    // Only memory can run out here besides the errors above.
    ShowFailure(box, static_cast<int32_t>(ErrorNumber::kOutOfMemory),
                AutomationError::StandardText(static_cast<int32_t>(ErrorNumber::kOutOfMemory)));
  }
  return {};
}

}  // namespace kavrolin::toolkit::scramble
