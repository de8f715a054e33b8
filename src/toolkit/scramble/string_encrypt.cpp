#include "toolkit/scramble/string_encrypt.h"

#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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

// Eight draws at a time, each jumped to from the same state, so they are
// independent and run side by side in vector registers (where the target has
// them; elsewhere the compiler writes the lanes out).
constexpr unsigned kLanes = 8;
using Lanes = uint32_t __attribute__((vector_size(kLanes * sizeof(uint32_t))));
using SignedLanes = int32_t __attribute__((vector_size(kLanes * sizeof(int32_t))));
using FloatLanes = float __attribute__((vector_size(kLanes * sizeof(float))));
using ByteLanes = uint8_t __attribute__((vector_size(kLanes)));

// Lane i jumps i + 1 steps.
template <uint32_t BasicRandom::Jump::*part>
constexpr std::array<uint32_t, kLanes> LaneJumps() {
  std::array<uint32_t, kLanes> jumps{};
  for (unsigned lane = 0; lane < kLanes; ++lane) jumps[lane] = BasicRandom::JumpOf(lane + 1).*part;
  return jumps;
}

constexpr auto kLaneMultipliers = LaneJumps<&BasicRandom::Jump::multiplier>();
constexpr auto kLaneIncrements = LaneJumps<&BasicRandom::Jump::increment>();

// The eight keys after `state`, lane 0 first, and the last state drawn. As
// KeyOf, lane by lane: the product is below 2^31, the float rounding is the
// single product's, the shift the floor.
[[gnu::always_inline]] inline void BlockKeys(uint32_t& state, SignedLanes& keys) {
  Lanes multipliers, increments;
  std::memcpy(&multipliers, kLaneMultipliers.data(), sizeof multipliers);
  std::memcpy(&increments, kLaneIncrements.data(), sizeof increments);
  const Lanes states = (multipliers * state + increments) & 0xFFFFFFu;
  const SignedLanes products = reinterpret_cast<const SignedLanes&>(states) * 127;
  keys = __builtin_convertvector(__builtin_convertvector(products, FloatLanes), SignedLanes) >> 24;
  state = states[kLanes - 1];
}

// The same keys a byte each, lane 0 in the lowest byte.
[[gnu::always_inline]] inline uint64_t BlockKeyBytes(uint32_t& state) {
  SignedLanes keys;
  BlockKeys(state, keys);
  const ByteLanes bytes = __builtin_convertvector(keys, ByteLanes);
  uint64_t packed;
  std::memcpy(&packed, &bytes, sizeof packed);
  return packed;
}

constexpr uint64_t kEveryByte = 0x0101010101010101u;

// Keys are 0 to 126, so a key is usable when adding 96 sets its byte's top
// bit; no byte carries into the next.
[[gnu::always_inline]] inline uint64_t UsableBytes(uint64_t keys) {
  return (keys + 96 * kEveryByte) & (0x80 * kEveryByte);
}

// Blocks of eight keys while a block cannot pass `count` (so no block draws
// past the last key); a key is kept by advancing the write position rather
// than by branching. Returns the keys written.
size_t DrawBlocksPortable(uint32_t& state_io, size_t count, uint8_t* keys) {
  uint32_t state = state_io;
  size_t n = 0;
  while (n + kLanes <= count) {
    const uint64_t block = BlockKeyBytes(state);
    const uint64_t usable = UsableBytes(block);
    for (unsigned lane = 0; lane < kLanes; ++lane) {
      keys[n] = static_cast<uint8_t>(block >> (8 * lane));
      n += (usable >> (8 * lane + 7)) & 1;
    }
  }
  state_io = state;
  return n;
}

#if defined(__x86_64__) || defined(__i386__)
// For each set of usable lanes (a bit each), the byte shuffle that moves them
// down in order, and how many there are.
struct CompactTable {
  uint8_t shuffle[256][kLanes];
  uint8_t count[256];
};

constexpr CompactTable MakeCompactTable() {
  CompactTable table{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    unsigned n = 0;
    for (unsigned lane = 0; lane < kLanes; ++lane) {
      if (mask & (1u << lane)) table.shuffle[mask][n++] = static_cast<uint8_t>(lane);
    }
    table.count[mask] = static_cast<uint8_t>(n);
    for (; n < kLanes; ++n) table.shuffle[mask][n] = 0x80;  // a zero byte
  }
  return table;
}

// DrawBlocksPortable with the usable keys moved down by one byte shuffle.
[[gnu::target("ssse3")]] size_t DrawBlocksShuffled(uint32_t& state_io, size_t count,
                                                    uint8_t* keys) {
  static constexpr CompactTable kCompact = MakeCompactTable();
  uint32_t state = state_io;
  size_t n = 0;
  while (n + kLanes <= count) {
    SignedLanes lanes;
    BlockKeys(state, lanes);
    __m128i halves[2];
    std::memcpy(halves, &lanes, sizeof halves);
    // Keys are 0 to 126: both packs keep them as they are.
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(halves[0], halves[1]), _mm_setzero_si128());
    const auto mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(31))) & 0xFF);
    const __m128i order = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kCompact.shuffle[mask]));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(keys + n), _mm_shuffle_epi8(bytes, order));
    n += kCompact.count[mask];
  }
  state_io = state;
  return n;
}

size_t DrawBlocks(uint32_t& state, size_t count, uint8_t* keys) {
  static const bool shuffle = __builtin_cpu_supports("ssse3");
  return shuffle ? DrawBlocksShuffled(state, count, keys) : DrawBlocksPortable(state, count, keys);
}
#else
size_t DrawBlocks(uint32_t& state, size_t count, uint8_t* keys) {
  return DrawBlocksPortable(state, count, keys);
}
#endif

// The next `count` keys of the stream into `keys`: each key is drawn again
// until it is usable. `generator` ends at the draw of the last key, as if each
// had been drawn by itself.
// `keys` has room for count + kLanes: the slack takes the bytes a block
// stores past its keys.
void DrawKeys(BasicRandom& generator, size_t count, uint8_t* keys) {
  uint32_t state = generator.state();
  size_t n = DrawBlocks(state, count, keys);
  while (n < count) {
    state = BasicRandom::Step(state);
    const int32_t key = KeyOf(state);
    keys[n] = static_cast<uint8_t>(key);
    n += Usable(key);
  }
  generator = BasicRandom(state);
}

// to[k] = from[k] ^ keys[k], eight units at a time.
void XorKeys(const char16_t* from, const uint8_t* keys, size_t count, char16_t* to) {
  using Units = uint16_t __attribute__((vector_size(kLanes * sizeof(uint16_t))));
  size_t k = 0;
  for (; k + kLanes <= count; k += kLanes) {
    Units units;
    ByteLanes block;
    std::memcpy(&units, from + k, sizeof units);
    std::memcpy(&block, keys + k, sizeof block);
    units ^= __builtin_convertvector(block, Units);
    std::memcpy(to + k, &units, sizeof units);
  }
  for (; k < count; ++k) to[k] = static_cast<char16_t>(from[k] ^ keys[k]);
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
    // Every key is written before it is read: no need to clear them first.
    const std::unique_ptr<uint8_t[]> keys(new uint8_t[strSource.size() + kLanes]);
    DrawKeys(generator, strSource.size(), keys.get());
    // ASCII XOR a key below 128 stays ASCII and needs no code page: the
    // leading ASCII run is written in place, one unit per unit.
    const size_t size = strSource.size();
    const size_t ascii = AsciiRun(strSource);
    // Past the ASCII run a code may take one or two units: two units of room
    // for each, trimmed to what was written.
    Text result(ascii + 2 * (size - ascii), u'\0');
    XorKeys(strSource.data(), keys.get(), ascii, result.data());
    size_t i = ascii;
    if (i < size) {
      CodeCache cache;
      char16_t* to = result.data() + i;
      const char16_t* source = strSource.data();
      const uint8_t* key = keys.get();
      for (; i < size; ++i) {
        const char16_t unit = source[i];
        if (unit < 0x80) {
          *to++ = static_cast<char16_t>(unit ^ key[i]);
          continue;
        }
        char16_t* next = cache.PutXor(to, unit, key[i]);
        if (next == nullptr) break;
        to = next;
      }
      result.resize(static_cast<size_t>(to - result.data()));
      // A character longer than two units, which no code page served makes.
      for (; i < size; ++i) cache.Append(result, cache.Code(strSource[i]) ^ keys[i]);
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
