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

// Hash of `Key`, after ASCII lower-casing (A-Z only) when `Fold` is set.
uint64_t HashKey(StringView Key, bool Fold) noexcept;

// Exact comparison, or after ASCII lower-casing of both sides when `Fold`
// (inline: it runs for every key a lookup meets).  The exact one compares
// bytes with memcmp: the standard comparison of char16_t strings walks them
// one code unit at a time.
inline bool SameKey(StringView a, StringView b, bool Fold) noexcept {
  if (Fold) return SameText(a, b);
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Char)) == 0);
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
