#include "zel/stringl/scramble.h"

#include <cstring>

#include "zel/platform/random.h"

namespace zel {
namespace {

// Plain arrays: the unit's start step fills them from the library's load
// constructor, before other dynamic initialisers may have run.
uint8_t g_scramble[256];
uint8_t g_descramble[256];

String Translate(StringView S, const uint8_t (&table)[256]) {
  String out(S);
  for (Char& c : out) {
    if (c < 256) c = table[c];
  }
  return out;
}

}  // namespace

void InitScramble(int32_t Seed) {
  // The shared generator is seeded as documented, but the permutation comes
  // from a sequence of its own with the same seed: the same permutation as
  // drawing from the shared one, whatever other threads draw meanwhile.
  SetRandSeed(static_cast<uint32_t>(Seed));
  RandomSequence sequence(static_cast<uint32_t>(Seed));
  std::memset(g_scramble, 0, sizeof g_scramble);
  std::memset(g_descramble, 0, sizeof g_descramble);
  for (int i = 1; i <= 255; ++i) {
    int r;
    do {
      r = sequence.Next(255) + 1;
    } while (g_descramble[r] != 0);
    g_scramble[i] = static_cast<uint8_t>(r);
    g_descramble[r] = static_cast<uint8_t>(i);
  }
}

String Scramble(StringView S) { return Translate(S, g_scramble); }

String DeScramble(StringView S) { return Translate(S, g_descramble); }

namespace detail {

// The string unit's start step: the default permutation.
void StartStringl() { InitScramble(5261); }

}  // namespace detail
}  // namespace zel
