#include "toolkit/scramble/string_encrypt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "fakes/fake_message_box.h"
#include "toolkit/scramble/ansi_code.h"

namespace kavrolin::toolkit::scramble {
namespace {

using kavrolin::testing::FakeMessageBox;

Text Units(std::initializer_list<char16_t> units) { return Text(units); }

// Expected texts come from an independent model of the generator and of the
// code page 936 character codes.
TEST(StringEnCryptTest, MatchesTheTargetPlatformsKeyStream) {
  const struct {
    const char* label;
    Text source;
    int32_t MA;
    Text expected;
  } rows[] = {
      {"empty source", u"", 5, u""},
      {"key 5", u"Hello, World!", 5,
       Units({0x6c, 0x8, 0xb, 0x20, 0x38, 0x4f, 0x67, 0x2b, 0x3e, 0x5c, 0xd, 0x1, 0x51})},
      {"key -5 is key 5", u"Hello, World!", -5,
       Units({0x6c, 0x8, 0xb, 0x20, 0x38, 0x4f, 0x67, 0x2b, 0x3e, 0x5c, 0xd, 0x1, 0x51})},
      {"largest key", u"The quick brown fox", 2147483647,
       Units({0x13, 0x13, 0x5e, 0x54, 0x38, 0x4a, 0x4c, 0x51, 0x43, 0x67, 0x57, 0x51, 0x2e, 0x35,
              0xf, 0x5b, 0x5b, 0x33, 0x35})},
      {"key 0 draws from the start state", u"abc", 0, Units({0x38, 0x21, 0x2a})},
      {"chinese characters change their trail byte", u"中文", 7, Units({0x8b39, 0x552f})},
      {"more chinese", u"消费成功", 123, Units({0x971e, 0x7a93, 0x8e87, 0x987e})},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    BasicRandom generator;
    int32_t ma = row.MA;
    Text target = u"old";
    EXPECT_EQ(StringEnCrypt(box, generator, row.source, ma, target), row.expected);
    EXPECT_EQ(target, row.expected);
    EXPECT_EQ(ma, row.MA < 0 ? -row.MA : row.MA);
    EXPECT_TRUE(box.messages.empty());
  }
}

// Regression: r * 127 in double precision gives 99 for the eighth key of key
// 85111; the platform's single-precision product gives 98.
TEST(StringEnCryptTest, ProductIsRoundedToSingleBeforeTheFloor) {
  FakeMessageBox box;
  BasicRandom generator;
  int32_t ma = 85111;
  Text target;
  EXPECT_EQ(StringEnCrypt(box, generator, u"AAAAAAAA", ma, target),
            Units({0x06, 0x7d, 0x0b, 0x17, 0x64, 0x0e, 0x67, 0x62}));
}

TEST(StringEnCryptTest, SameKeyTwiceRestoresEverySingleByteText) {
  Text all_ascii;
  for (char16_t c = 0; c < 0x80; ++c) all_ascii += c;
  const struct {
    const char* label;
    Text source;
    int32_t MA;
  } rows[] = {
      {"one NUL", Text(1, u'\0'), 1},
      {"every ASCII code", all_ascii, 99},
      {"NULs inside", Text(u"a\0b\0\0c", 6), 2024},
      {"negative key", u"Card 6222000000000009", -77},
      {"long text", Text(40000, u'x'), 31337},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    FakeMessageBox box;
    BasicRandom generator;
    int32_t ma = row.MA;
    Text target;
    const Text scrambled = StringEnCrypt(box, generator, row.source, ma, target);
    EXPECT_EQ(scrambled.size(), row.source.size());
    Text back;
    EXPECT_EQ(StringEnCrypt(box, generator, scrambled, ma, back), row.source);
    EXPECT_TRUE(box.messages.empty());
  }
}

TEST(StringEnCryptTest, KeysLieBetween32And126) {
  // XOR with NUL shows each key itself.
  FakeMessageBox box;
  BasicRandom generator;
  int32_t ma = 12345;
  Text target;
  const Text keys = StringEnCrypt(box, generator, Text(20000, u'\0'), ma, target);
  for (const char16_t k : keys) {
    ASSERT_GE(k, 32);
    ASSERT_LE(k, 126);
  }
}

// The key stream drawn one value at a time, in the runtime's own arithmetic:
// the single product, then the floor. Long streams through the member must
// agree with it key for key, for texts of every length around the member's
// batching, and the generator must end where this one does.
int32_t ReferenceKey(BasicRandom& generator) {
  for (;;) {
    const float product = static_cast<float>(static_cast<double>(generator.Next()) * 127.0);
    const auto k = static_cast<int32_t>(std::floor(product));
    if (k >= 32 && k <= 128) return k;
  }
}

TEST(StringEnCryptTest, KeyStreamEqualsOneDrawAtATime) {
  FakeMessageBox box;
  for (const int32_t key : {1, 85111, 12345, 2147483647}) {
    for (const size_t length : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{7},
                                size_t{8}, size_t{9}, size_t{15}, size_t{16}, size_t{17},
                                size_t{1} << 20}) {
      SCOPED_TRACE(::testing::Message() << "key " << key << ", length " << length);
      BasicRandom generator, reference;
      int32_t ma = key;
      reference.Rnd(static_cast<float>(-key));
      Text target;
      const Text keys = StringEnCrypt(box, generator, Text(length, u'\0'), ma, target);
      ASSERT_EQ(keys.size(), length);
      size_t differ = 0;
      for (const char16_t k : keys) differ += k != ReferenceKey(reference);
      EXPECT_EQ(differ, 0u);
      EXPECT_EQ(generator.state(), reference.state());
    }
  }
}

// Character by character through the code rules, with the reference keys:
// the member's tables of codes and characters must give the same text for a
// long text that mixes ASCII, Chinese, a character the code page lacks and a
// lone surrogate, whichever character comes first.
TEST(StringEnCryptTest, LongMixedTextEqualsOneCharacterAtATime) {
  const Text pool = u"中文消费成功abc 卡号\u20ac\U0001F600\xe9\xff索引 9" + Text(1, char16_t{0xD800});
  for (const size_t first : {size_t{0}, size_t{3}}) {
    SCOPED_TRACE(::testing::Message() << "starting at " << first);
    Text source;
    for (size_t i = 0; i < 50000; ++i) source += pool[(first + i * 7) % pool.size()];
    FakeMessageBox box;
    BasicRandom generator, reference;
    int32_t ma = 4321;
    reference.Rnd(-4321.0f);
    Text want;
    for (const char16_t unit : source) {
      AppendCharacter(want, CharacterCode(unit) ^ ReferenceKey(reference));
    }
    Text target;
    EXPECT_EQ(StringEnCrypt(box, generator, source, ma, target), want);
    EXPECT_EQ(target, want);
  }
}

TEST(StringEnCryptTest, CharacterEqualToItsKeyBecomesNul) {
  FakeMessageBox box;
  BasicRandom generator;
  int32_t ma = 5;
  Text target;
  // The first key of key 5 is 36, "$".
  EXPECT_EQ(StringEnCrypt(box, generator, u"$", ma, target), Text(1, u'\0'));
}

TEST(StringEnCryptTest, KeyZeroGoesOnFromEarlierDraws) {
  FakeMessageBox box;
  BasicRandom generator;
  int32_t ma = 0;
  Text target;
  const Text first = StringEnCrypt(box, generator, u"same text", ma, target);
  const Text second = StringEnCrypt(box, generator, u"same text", ma, target);
  EXPECT_NE(first, second);
  // The second equals the continuation of one longer call.
  BasicRandom fresh;
  const Text both = StringEnCrypt(box, fresh, u"same textsame text", ma, target);
  EXPECT_EQ(both, first + second);
}

TEST(StringEnCryptTest, EmptySourceStillReseeds) {
  FakeMessageBox box;
  BasicRandom generator;
  generator.Next();
  int32_t ma = 5;
  Text target = u"old";
  EXPECT_EQ(StringEnCrypt(box, generator, u"", ma, target), u"");
  EXPECT_EQ(target, u"");
  BasicRandom expected;
  expected.Reseed(-5.0f);
  EXPECT_EQ(generator.state(), expected.state());
}

TEST(StringEnCryptTest, MostNegativeKeyIsAnOverflowShownInTheMessageBox) {
  FakeMessageBox box;
  BasicRandom generator;
  int32_t ma = std::numeric_limits<int32_t>::min();
  Text target = u"old";
  EXPECT_EQ(StringEnCrypt(box, generator, u"abc", ma, target), u"");
  EXPECT_EQ(target, u"old");
  EXPECT_EQ(ma, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(generator.state(), BasicRandom::kStartState);
  ASSERT_EQ(box.messages.size(), 1u);
  EXPECT_EQ(box.messages[0], (FakeMessageBox::Message{u"Kavrolin", u"6\\Overflow"}));
}

TEST(StringEnCryptTest, NearlyMostNegativeKeyWorks) {
  FakeMessageBox box;
  BasicRandom generator;
  int32_t ma = -2147483647;
  Text target;
  StringEnCrypt(box, generator, u"abc", ma, target);
  EXPECT_EQ(ma, 2147483647);
  EXPECT_TRUE(box.messages.empty());
}

}  // namespace
}  // namespace kavrolin::toolkit::scramble
