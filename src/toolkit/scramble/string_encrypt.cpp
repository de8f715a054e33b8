#include "toolkit/scramble/string_encrypt.h"

#include <limits>
#include <string>
#include <vector>

#include "base/automation_error.h"
#include "toolkit/component_title.h"
#include "toolkit/scramble/ansi_code.h"

namespace kavrolin::toolkit::scramble {
namespace {

// floor(r * 127) for the value r = state / 2^24 of a draw, the product
// rounded to single precision first: Single times Integer is a Single on the
// target platform, and rounding before the floor changes about one key in
// 2,000. state * 127 < 2^31 is exact as an integer; converting it to float
// rounds exactly as the single product does (the scale 2^-24 is exact), and
// the shift is the floor.
int32_t KeyOf(uint32_t state) {
  return static_cast<int32_t>(static_cast<float>(static_cast<int32_t>(state * 127u))) >> 24;
}

bool Usable(int32_t key) { return key >= 32 && key <= 128; }

// The next `count` keys of the stream into `keys`: each key is drawn again
// until it is usable. `generator` ends at the draw of the last key, as if each
// had been drawn by itself. Two draws are made at a time (the second from the
// same state by the two-step jump), and a key is kept by advancing the write
// position rather than by branching, so the loop runs at the multiplier's
// throughput instead of its latency.
void DrawKeys(BasicRandom& generator, size_t count, std::vector<uint8_t>& keys) {
  keys.resize(count + 2);  // the slack takes the keys a pair draws past the end
  uint32_t state = generator.state();
  size_t n = 0;
  while (n + 2 <= count) {
    const uint32_t first = BasicRandom::Step(state);
    const uint32_t second = BasicRandom::StepTwo(state);
    const int32_t a = KeyOf(first), b = KeyOf(second);
    keys[n] = static_cast<uint8_t>(a);
    n += Usable(a);
    keys[n] = static_cast<uint8_t>(b);
    n += Usable(b);
    state = second;
  }
  while (n < count) {
    state = BasicRandom::Step(state);
    const int32_t key = KeyOf(state);
    keys[n] = static_cast<uint8_t>(key);
    n += Usable(key);
  }
  generator = BasicRandom(state);
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
    std::vector<uint8_t> keys;
    DrawKeys(generator, strSource.size(), keys);
    // ASCII XOR a key below 128 stays ASCII and needs no code page: the
    // leading ASCII run is written in place, one unit per unit.
    const size_t size = strSource.size();
    Text result(size, u'\0');
    size_t i = 0;
    for (; i < size && strSource[i] < 0x80; ++i) {
      result[i] = static_cast<char16_t>(strSource[i] ^ keys[i]);
    }
    if (i < size) {
      // From the first other character on, a code may take one or two units.
      result.resize(i);
      CodeCache cache;
      for (; i < size; ++i) {
        const char16_t unit = strSource[i];
        if (unit < 0x80) {
          result.push_back(static_cast<char16_t>(unit ^ keys[i]));
        } else {
          cache.Append(result, cache.Code(unit) ^ keys[i]);
        }
      }
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
