// BasicRandom: the seeded generator of the target platform's Basic runtime,
// bit for bit, so that texts scrambled on the target systems with its key
// stream can be restored here and the other way round.
//
// The state is 24 bits. A new generator starts at 0x50000.
//   next:    state = (state * 0x43FD43FD + 0xC39EC3) mod 2^24, and the value
//            is state / 2^24 as a single-precision number (0 <= r < 1).
//   reseed:  with a negative x: the 32 bits of x as an IEEE single become
//            bits, state = (bits + (bits >> 24)) mod 2^24, then one next step,
//            whose value the reseed returns.
//   Rnd(0):  the last value (state / 2^24), nothing changes.
// The first value of a new generator is 0.7055475; a reseed with -1 returns
// 0.2240070 and the next value is 0.0358458.
//
// A generator is a plain value, used from one thread at a time. The Basic
// runtime keeps one per thread: ThisThread() is that one.
#pragma once

#include <cstdint>

namespace kavrolin {

class BasicRandom {
 public:
  static constexpr uint32_t kStartState = 0x50000;

  BasicRandom() = default;
  explicit BasicRandom(uint32_t state) : state_(state & kStateMask) {}

  // The next value of the sequence.
  float Next();
  // Restarts the sequence from x (meant for x < 0, as Rnd uses it; any x is
  // taken by its bits) and returns the first value of the new sequence.
  float Reseed(float x);
  // The value last returned (the start state's value before any draw).
  float Last() const;
  // Basic's Rnd(x): x < 0 reseeds, x = 0 answers the last value, anything
  // else (a positive x, NaN) the next value.
  float Rnd(float x);

  uint32_t state() const { return state_; }

  // The state after `state`: the step Next takes, for callers that draw many
  // values at once.
  static constexpr uint32_t Step(uint32_t state) { return (state * kMultiplier + kIncrement) & kStateMask; }
  // `count` steps as one: Jump(count).Apply(s) is Step applied count times,
  // one multiply long, so draws a few steps apart need not wait for each other.
  struct Jump {
    uint32_t multiplier = 1;
    uint32_t increment = 0;
    constexpr uint32_t Apply(uint32_t state) const {
      return (state * multiplier + increment) & kStateMask;
    }
  };
  static constexpr Jump JumpOf(unsigned count) {
    Jump jump;
    for (unsigned i = 0; i < count; ++i) {
      jump = {jump.multiplier * kMultiplier, jump.increment * kMultiplier + kIncrement};
    }
    return jump;
  }

  // The calling thread's generator, starting at kStartState on each thread.
  static BasicRandom& ThisThread();

 private:
  static constexpr uint32_t kStateMask = 0xFFFFFF;
  // Only the low 24 bits of each product matter, so 32-bit wrap-around is fine.
  static constexpr uint32_t kMultiplier = 0x43FD43FD;
  static constexpr uint32_t kIncrement = 0xC39EC3;
  uint32_t state_ = kStartState;
};

}  // namespace kavrolin
