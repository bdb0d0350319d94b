#include "zel/platform/random.h"

#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <mutex>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {
namespace {

struct Generator {
  uint32_t seed = 0;
  uint64_t s[4] = {};
  bool seeded = false;

  void Seed(uint32_t value) {
    seed = value;
    uint64_t x = value;
    for (uint64_t& word : s) {
      // splitmix64
      uint64_t z = (x += 0x9E3779B97F4A7C15ull);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = z ^ (z >> 31);
    }
    seeded = true;
  }

  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  uint64_t Next() {
    if (!seeded) Seed(0);
    const uint64_t result = Rotl(s[1] * 5, 7) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
  }
};

// Constant-initialised, so usable from any static initialiser.
constinit Generator g_generator;
std::mutex g_mutex;

}  // namespace

uint32_t RandSeed() noexcept {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_generator.seed;
}

void SetRandSeed(uint32_t Seed) noexcept {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_generator.Seed(Seed);
}

void Randomize() noexcept {
  uint32_t seed = 0;
  if (getrandom(&seed, sizeof seed, 0) != static_cast<ssize_t>(sizeof seed)) {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    seed = static_cast<uint32_t>(ts.tv_nsec) ^ static_cast<uint32_t>(ts.tv_sec) ^
           static_cast<uint32_t>(getpid()) << 16;
  }
  SetRandSeed(seed);
}

double Random() noexcept {
  std::lock_guard<std::mutex> lock(g_mutex);
  return static_cast<double>(g_generator.Next() >> 11) * 0x1.0p-53;
}

int32_t Random(int32_t n) noexcept {
  if (n <= 0) return 0;
  std::lock_guard<std::mutex> lock(g_mutex);
  // Lemire's multiply-and-reject: unbiased for every n.
  const uint64_t range = static_cast<uint64_t>(n);
  const uint64_t threshold = (uint64_t{1} << 32) % range;
  for (;;) {
    const uint64_t x = g_generator.Next() >> 32;
    const uint64_t m = x * range;
    if ((m & 0xFFFFFFFFu) >= threshold) return static_cast<int32_t>(m >> 32);
  }
}

}  // namespace zel
