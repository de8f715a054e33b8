#include "base/basic_random.h"

#include <bit>

namespace kavrolin {
namespace {

constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24: every 24-bit state is exact

}  // namespace

float BasicRandom::Next() {
  state_ = Step(state_);
  return Last();
}

float BasicRandom::Reseed(float x) {
  const uint32_t bits = std::bit_cast<uint32_t>(x);
  state_ = (bits + (bits >> 24)) & kStateMask;
  return Next();
}

float BasicRandom::Last() const { return static_cast<float>(state_) * kScale; }

float BasicRandom::Rnd(float x) {
  if (x < 0) return Reseed(x);
  if (x == 0) return Last();
  return Next();
}

BasicRandom& BasicRandom::ThisThread() {
  thread_local BasicRandom generator;
  return generator;
}

}  // namespace kavrolin
