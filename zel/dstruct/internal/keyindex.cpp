#include "zel/dstruct/internal/keyindex.h"

#include <cstring>

#include "zel/platform/casemap.h"

namespace zel::detail {

void KeyIndex::Clear() noexcept {
  slots_.clear();
  mask_ = 0;
  count_ = 0;
}

void KeyIndex::Allocate(size_t n) {
  size_t want = 16;
  while (want / 2 < n + 1) want *= 2;  // load factor at most 1/2
  slots_.assign(want, Slot{kNone, 0});
  mask_ = want - 1;
  count_ = 0;
}

void KeyIndex::Place(int32_t entry, uint64_t hash) noexcept {
  size_t i = hash & mask_;
  while (slots_[i].entry != kNone) i = (i + 1) & mask_;
  slots_[i] = Slot{entry, Tag(hash)};
}

void KeyIndex::Grow(size_t slots, const std::vector<uint64_t>& hashes) {
  // Built aside, so that a failed allocation leaves the index intact.
  std::vector<Slot> fresh(slots, Slot{kNone, 0});
  fresh.swap(slots_);
  mask_ = slots - 1;
  for (const Slot& s : fresh) {
    if (s.entry != kNone) Place(s.entry, hashes[static_cast<size_t>(s.entry)]);
  }
}

void KeyIndex::Insert(int32_t entry, const std::vector<uint64_t>& hashes) {
  if (slots_.empty() || (count_ + 1) * 2 > slots_.size()) {
    Grow(slots_.empty() ? 16 : slots_.size() * 2, hashes);
  }
  Place(entry, hashes[static_cast<size_t>(entry)]);
  ++count_;
}

size_t KeyIndex::Find(int32_t entry, const std::vector<uint64_t>& hashes) const {
  for (size_t i = hashes[static_cast<size_t>(entry)] & mask_;; i = (i + 1) & mask_) {
    if (slots_[i].entry == entry) return i;
  }
}

void KeyIndex::Erase(int32_t entry, const std::vector<uint64_t>& hashes) {
  size_t hole = Find(entry, hashes);
  slots_[hole].entry = kNone;
  --count_;
  // Backward-shift deletion: move later members of the probe run into the
  // hole when their home slot does not lie between the hole and them.
  for (size_t j = (hole + 1) & mask_; slots_[j].entry != kNone; j = (j + 1) & mask_) {
    const size_t home = hashes[static_cast<size_t>(slots_[j].entry)] & mask_;
    const bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
    if (!stays) {
      slots_[hole] = slots_[j];
      slots_[j].entry = kNone;
      hole = j;
    }
  }
}

void KeyIndex::Rebuild(const std::vector<uint64_t>& hashes) {
  Allocate(hashes.size());
  for (size_t e = 0; e < hashes.size(); ++e) Place(static_cast<int32_t>(e), hashes[e]);
  count_ = hashes.size();
}

}  // namespace zel::detail
