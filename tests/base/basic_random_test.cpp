#include "base/basic_random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>

namespace kavrolin {
namespace {

// Expected states come from an independent model of the generator (exact
// integer arithmetic on the documented formulas); a value is state / 2^24.
constexpr float ValueOf(uint32_t state) { return static_cast<float>(state) / 16777216.0f; }

TEST(BasicRandomTest, DocumentedCheckValues) {
  BasicRandom g;
  EXPECT_NEAR(g.Next(), 0.7055475f, 5e-8);
  BasicRandom h;
  EXPECT_NEAR(h.Reseed(-1.0f), 0.2240070f, 5e-8);
  EXPECT_NEAR(h.Next(), 0.0358458f, 5e-8);
}

TEST(BasicRandomTest, SequenceFromTheStartState) {
  const uint32_t expected[] = {0xb49ec3, 0x888e7a, 0x945b55, 0x4a20c4, 0x4d4c77};
  BasicRandom g;
  EXPECT_EQ(g.state(), BasicRandom::kStartState);
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(g.Next(), ValueOf(expected[i]));
    EXPECT_EQ(g.state(), expected[i]);
  }
}

TEST(BasicRandomTest, ReseedTakesTheBitsOfTheSingle) {
  const struct {
    const char* label;
    float x;
    uint32_t first;   // state after the reseed's own step
    uint32_t second;  // state after the next step
  } rows[] = {
      // Boundaries first.
      {"smallest negative subnormal", -std::numeric_limits<float>::denorm_min(), 0x62e140, 0xaffb03},
      {"-2^31, the most negative 32-bit key", -2147483648.0f, 0x8d9856, 0x8fadc1},
      {"-2^24", -16777216.0f, 0x188862, 0x8e0d9d},
      {"-1", -1.0f, 0x395886, 0x092d31},
      {"-0.5", -0.5f, 0xb95886, 0x892d31},
      {"-5", -5.0f, 0xd69c83, 0x49953a},
      {"-85111", -85111.0f, 0xfec5ee, 0x9084f9},
      {"-1e30", -1e30f, 0x726f92, 0x59180d},
      {"a positive seed is taken by its bits too", 3.0f, 0x549e03, 0xb590ba},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    BasicRandom g;
    g.Next();  // the earlier state must not matter
    EXPECT_EQ(g.Reseed(row.x), ValueOf(row.first));
    EXPECT_EQ(g.Next(), ValueOf(row.second));
  }
}

TEST(BasicRandomTest, RndDispatchesOnTheSign) {
  BasicRandom g;
  // Rnd(0) before any draw answers the start state's value and changes nothing.
  EXPECT_EQ(g.Rnd(0.0f), ValueOf(BasicRandom::kStartState));
  EXPECT_EQ(g.state(), BasicRandom::kStartState);
  EXPECT_EQ(g.Rnd(-0.0f), ValueOf(BasicRandom::kStartState));
  EXPECT_EQ(g.state(), BasicRandom::kStartState);

  const float first = g.Rnd(1.0f);
  EXPECT_EQ(first, ValueOf(0xb49ec3));
  EXPECT_EQ(g.Rnd(0.0f), first);
  EXPECT_EQ(g.Rnd(0.0f), first);
  EXPECT_EQ(g.Rnd(7.5f), ValueOf(0x888e7a));
  EXPECT_EQ(g.Rnd(std::nanf("")), ValueOf(0x945b55));
  EXPECT_EQ(g.Rnd(-1.0f), ValueOf(0x395886));
  EXPECT_EQ(g.Last(), ValueOf(0x395886));
}

TEST(BasicRandomTest, ValuesStayBelowOne) {
  BasicRandom g(0xFFFFFF);
  EXPECT_EQ(g.Last(), ValueOf(0xFFFFFF));
  EXPECT_LT(g.Last(), 1.0f);
  // A full period visits every state once: no value reaches 1.
  BasicRandom h;
  uint32_t steps = 0;
  do {
    const float r = h.Next();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    ++steps;
  } while (h.state() != BasicRandom::kStartState && steps <= (1u << 24));
  EXPECT_EQ(steps, 1u << 24);
}

TEST(BasicRandomTest, EachThreadStartsItsOwnGenerator) {
  BasicRandom::ThisThread().Reseed(-5.0f);
  const uint32_t here = BasicRandom::ThisThread().state();
  float other_first = 0;
  std::thread([&] { other_first = BasicRandom::ThisThread().Next(); }).join();
  EXPECT_EQ(other_first, ValueOf(0xb49ec3));
  EXPECT_EQ(BasicRandom::ThisThread().state(), here);
}

}  // namespace
}  // namespace kavrolin
