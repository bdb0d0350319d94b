// zel/platform/random.h — the process-wide pseudo-random generator.
//
//   zel::SetRandSeed(1234);
//   double x = zel::Random();      // in [0, 1)
//   int32_t die = zel::Random(6);  // 0..5
//   zel::SetRandSeed(1234);        // the same sequence again
//   zel::Randomize();              // a seed from the operating system
//
// The generator is xoshiro256** with its state expanded from the 32-bit
// seed by splitmix64; `Random(n)` is unbiased.  The sequence differs from
// other libraries' generators.  Calls are serialised by a lock, so threads
// may share the generator; each call then sees the next value of the one
// sequence.  It is not meant for secrets: use the operating system's random
// source for passwords and keys.
//
// `RandomSequence` is a generator of its own with the same sequence for the
// same seed, for work that must not depend on what other threads draw
// meanwhile (the scrambler builds its permutation from one):
//
//   zel::RandomSequence seq(42);
//   int32_t r = seq.Next(255);     // what Random(255) gives after SetRandSeed(42)
#ifndef ZEL_PLATFORM_RANDOM_H_
#define ZEL_PLATFORM_RANDOM_H_

#include <cstdint>

namespace zel {

class RandomSequence {
 public:
  constexpr explicit RandomSequence(uint32_t seed) noexcept { Seed(seed); }
  // Restarts the sequence from `seed` (its state expanded by splitmix64).
  constexpr void Seed(uint32_t seed) noexcept {
    uint64_t x = seed;
    for (uint64_t& word : s_) {
      uint64_t z = (x += 0x9E3779B97F4A7C15ull);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = z ^ (z >> 31);
    }
  }
  // The next 64 raw bits.
  uint64_t NextBits() noexcept;
  // A uniform value in [0, 1) with 53 random bits.
  double Next() noexcept { return static_cast<double>(NextBits() >> 11) * 0x1.0p-53; }
  // A uniform whole number in [0, n); 0 when n <= 0.
  int32_t Next(int32_t n) noexcept;

 private:
  uint64_t s_[4] = {};
};

// The seed last set (by SetRandSeed or Randomize); 0 before either.
uint32_t RandSeed() noexcept;
// Restarts the sequence from `Seed`.
void SetRandSeed(uint32_t Seed) noexcept;
// Restarts the sequence from a seed drawn from the operating system.
void Randomize() noexcept;

// A uniform value in [0, 1) with 53 random bits.
double Random() noexcept;
// A uniform whole number in [0, n); 0 when n <= 0.
int32_t Random(int32_t n) noexcept;

}  // namespace zel

#endif  // ZEL_PLATFORM_RANDOM_H_
