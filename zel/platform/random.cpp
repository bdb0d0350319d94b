#include "zel/platform/random.h"

#include <time.h>
#include <unistd.h>

#include <mutex>

#include "zel/platform/export.h"
#include "zel/platform/internal/hostinfo.h"

namespace ZEL_EXPORT zel {
namespace {

struct Generator {
  uint32_t seed = 0;
  RandomSequence sequence{0};
};

// Constant-initialised, so usable from any static initialiser.
constinit Generator g_generator;
std::mutex g_mutex;

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

uint64_t RandomSequence::NextBits() noexcept {
  // xoshiro256**
  const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
  const uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = Rotl(s_[3], 45);
  return result;
}

int32_t RandomSequence::Next(int32_t n) noexcept {
  if (n <= 0) return 0;
  // Lemire's multiply-and-reject: unbiased for every n.
  const uint64_t range = static_cast<uint64_t>(n);
  const uint64_t threshold = (uint64_t{1} << 32) % range;
  for (;;) {
    const uint64_t x = NextBits() >> 32;
    const uint64_t m = x * range;
    if ((m & 0xFFFFFFFFu) >= threshold) return static_cast<int32_t>(m >> 32);
  }
}

uint32_t RandSeed() noexcept {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_generator.seed;
}

void SetRandSeed(uint32_t Seed) noexcept {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_generator.seed = Seed;
  g_generator.sequence.Seed(Seed);
}

void Randomize() noexcept {
  uint32_t seed = 0;
  if (!detail::HostRandomBytes(&seed, sizeof seed)) {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    seed = static_cast<uint32_t>(ts.tv_nsec) ^ static_cast<uint32_t>(ts.tv_sec) ^
           static_cast<uint32_t>(getpid()) << 16;
  }
  SetRandSeed(seed);
}

double Random() noexcept {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_generator.sequence.Next();
}

int32_t Random(int32_t n) noexcept {
  if (n <= 0) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_generator.sequence.Next(n);
}

}  // namespace zel
