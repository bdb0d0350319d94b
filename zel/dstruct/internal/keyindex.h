// zel/dstruct/internal/keyindex.h — internal: the hash index that the associative
// array and the string accumulator keep over their keys, so that a lookup
// finds the same entry a scan from the first entry would, in constant time
// on average.
//
// The index stores entry numbers (0-based) in an open-addressing table with
// linear probing; the owner keeps the keys and one hash per entry and hands
// the index a predicate that compares a probed entry's key with the one
// searched.  Several entries may have equal keys (the associative array
// allows that after `SetKeys`); `Find` then returns the lowest entry number,
// which is the match a scan would find first.
//
// Not part of the public interface.
#ifndef ZEL_DSTRUCT_INTERNAL_KEYINDEX_H_
#define ZEL_DSTRUCT_INTERNAL_KEYINDEX_H_

#include <cstdint>
#include <cstring>
#include <vector>

#include "zel/platform/casemap.h"
#include "zel/platform/string.h"

namespace zel::detail {

namespace key_hash {

// Mixes 64 bits into the state: the two halves of their 128-bit product
// with an odd constant, so every input bit reaches every output bit.
inline uint64_t Mix(uint64_t h, uint64_t w) noexcept {
  const __uint128_t m = static_cast<__uint128_t>(h ^ w) * 0x9E3779B97F4A7C15ull;
  return static_cast<uint64_t>(m) ^ static_cast<uint64_t>(m >> 64);
}

// Four code units (folded when asked) as one 64-bit word.
template <bool kFold>
inline uint64_t Word4(const Char* p) noexcept {
  Char u[4];
  for (int i = 0; i < 4; ++i) u[i] = kFold ? AsciiLower(p[i]) : p[i];
  uint64_t w;
  std::memcpy(&w, u, sizeof w);
  return w;
}

template <bool kFold>
inline uint64_t Hash(StringView key) noexcept {
  // Four code units per step; the length goes in first, so that keys that
  // differ only by trailing code 0 units hash apart.
  uint64_t h = Mix(0x243F6A8885A308D3ull, key.size());
  const Char* p = key.data();
  size_t n = key.size();
  for (; n >= 4; n -= 4, p += 4) h = Mix(h, Word4<kFold>(p));
  if (n > 0) {
    Char tail[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < n; ++i) tail[i] = kFold ? AsciiLower(p[i]) : p[i];
    h = Mix(h, Word4<false>(tail));
  }
  return Mix(h, 0x13198A2E03707344ull);
}

}  // namespace key_hash


// Hash of `Key`, after ASCII lower-casing (A-Z only) when `Fold` is set.
// Equal keys under the comparison rule hash alike; the low bits pick the
// slot, the high bits are the slot's tag.  Inline, as it runs once per
// lookup.
inline uint64_t HashKey(StringView Key, bool Fold) noexcept {
  return Fold ? key_hash::Hash<true>(Key) : key_hash::Hash<false>(Key);
}

// Whether the `n` bytes at `a` and `b` are equal.  Keys are mostly short:
// up to 16 bytes they are compared as two overlapping words inline, which
// costs less than the call to memcmp.
inline bool SameBytes(const void* a, const void* b, size_t n) noexcept {
  const auto* x = static_cast<const unsigned char*>(a);
  const auto* y = static_cast<const unsigned char*>(b);
  if (n >= 8 && n <= 16) {
    uint64_t x0, x1, y0, y1;
    std::memcpy(&x0, x, 8);
    std::memcpy(&y0, y, 8);
    std::memcpy(&x1, x + n - 8, 8);
    std::memcpy(&y1, y + n - 8, 8);
    return ((x0 ^ y0) | (x1 ^ y1)) == 0;
  }
  if (n >= 4 && n < 8) {
    uint32_t x0, x1, y0, y1;
    std::memcpy(&x0, x, 4);
    std::memcpy(&y0, y, 4);
    std::memcpy(&x1, x + n - 4, 4);
    std::memcpy(&y1, y + n - 4, 4);
    return ((x0 ^ y0) | (x1 ^ y1)) == 0;
  }
  if (n < 4) {
    for (size_t i = 0; i < n; ++i) {
      if (x[i] != y[i]) return false;
    }
    return true;
  }
  return std::memcmp(x, y, n) == 0;
}

// Exact comparison, or after ASCII lower-casing of both sides when `Fold`
// (inline: it runs for every key a lookup meets).  The exact one compares
// bytes: the standard comparison of char16_t strings walks them one code
// unit at a time.
inline bool SameKey(StringView a, StringView b, bool Fold) noexcept {
  if (Fold) return SameText(a, b);
  return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size() * sizeof(Char));
}

class KeyIndex {
 public:
  static constexpr int32_t kNone = -1;

  // The lowest entry number whose hash is `hash` and for which
  // `matches(entry)` holds, or kNone.  When the owner knows its keys to be
  // unique (`unique`), the first match is the only one and ends the search.
  template <class Matches>
  int32_t Find(uint64_t hash, bool unique, Matches&& matches) const {
    if (slots_.empty()) return kNone;
    const uint32_t tag = Tag(hash);
    int32_t best = kNone;
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot s = slots_[i];
      if (s.entry == kNone) return best;
      if (s.tag == tag && (best == kNone || s.entry < best) && matches(s.entry)) {
        best = s.entry;
        if (unique) return best;
      }
    }
  }

  // Adds entry `entry` with hash `hashes[entry]`.
  void Insert(int32_t entry, const std::vector<uint64_t>& hashes);
  // Takes entry `entry` (with hash `hashes[entry]`) out of the index.
  void Erase(int32_t entry, const std::vector<uint64_t>& hashes);
  // Indexes entries 0..hashes.size()-1 afresh.
  void Rebuild(const std::vector<uint64_t>& hashes);
  void Clear() noexcept;

 private:
  // The slot keeps the high half of the hash, so that most probes that do
  // not match are settled without touching the owner's keys; the low half
  // picks the home slot.
  struct Slot {
    int32_t entry;
    uint32_t tag;
  };
  static uint32_t Tag(uint64_t hash) noexcept { return static_cast<uint32_t>(hash >> 32); }
  // An empty table with room for `n` entries.
  void Allocate(size_t n);
  size_t Find(int32_t entry, const std::vector<uint64_t>& hashes) const;
  void Grow(size_t slots, const std::vector<uint64_t>& hashes);
  void Place(int32_t entry, uint64_t hash) noexcept;

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace zel::detail

#endif  // ZEL_DSTRUCT_INTERNAL_KEYINDEX_H_
