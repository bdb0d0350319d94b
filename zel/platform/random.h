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
#ifndef ZEL_PLATFORM_RANDOM_H_
#define ZEL_PLATFORM_RANDOM_H_

#include <cstdint>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

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
