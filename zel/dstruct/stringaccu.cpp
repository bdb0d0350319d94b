#include "zel/dstruct/stringaccu.h"

#include <algorithm>
#include <cstdint>

#include "zel/zelbase/errors.h"

namespace zel {

TStringAccu::TStringAccu(TComponent* AOwner) : TComponent(AOwner) {}

void TStringAccu::Add(StringView AString) {
  const uint64_t h = detail::HashKey(AString, false);
  const int32_t found = index_.Find(h, /*unique=*/true, [&](int32_t e) {
    return strings_[static_cast<size_t>(e)] == AString;
  });
  if (found != detail::KeyIndex::kNone) {
    // A count stays at the largest int32 rather than overflowing.
    int32_t& count = counts_[static_cast<size_t>(found)];
    if (count < INT32_MAX) ++count;
    return;
  }
  const size_t n = strings_.size();
  try {
    strings_.emplace_back(AString);
    counts_.push_back(1);
    hashes_.push_back(h);
    index_.Insert(static_cast<int32_t>(n), hashes_);
  } catch (const std::bad_alloc&) {
    // Leave the three arrays and the index as they were.
    strings_.resize(n);
    counts_.resize(n);
    hashes_.resize(n);
    throw EZELDStructError(ComponentMessage(*this, kNotEnoughMemoryOnHeap));
  }
}

String TStringAccu::GetString(int32_t ix) const {
  if (ix < 1 || ix > Size()) return String();
  return strings_[static_cast<size_t>(ix - 1)];
}

int32_t TStringAccu::GetCount(int32_t ix) const noexcept {
  if (ix < 1 || ix > Size()) return 0;
  return counts_[static_cast<size_t>(ix - 1)];
}

void TStringAccu::Clear() noexcept {
  strings_ = {};
  counts_ = {};
  hashes_ = {};
  index_.Clear();
}

}  // namespace zel

// --- lookups by string and by count ---------------------------------------------

namespace zel {

int32_t TStringAccu::FindIndex(StringView AString) const {
  return index_.Find(detail::HashKey(AString, false), /*unique=*/true, [&](int32_t e) {
    return strings_[static_cast<size_t>(e)] == AString;
  });
}

int32_t TStringAccu::CountOf(StringView AString) const {
  const int32_t found = FindIndex(AString);
  return found == detail::KeyIndex::kNone ? 0 : counts_[static_cast<size_t>(found)];
}

std::vector<std::pair<String, int32_t>> TStringAccu::ByCount(size_t Limit) const {
  std::vector<int32_t> order(strings_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i);
  // Falling count, then first appearance: a strict order, so a partial
  // sort gives the same first entries as a stable full sort.
  const auto before = [&](int32_t a, int32_t b) {
    const int32_t ca = counts_[static_cast<size_t>(a)], cb = counts_[static_cast<size_t>(b)];
    return ca != cb ? ca > cb : a < b;
  };
  const size_t n = std::min(Limit, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(n), order.end(), before);
  std::vector<std::pair<String, int32_t>> out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const auto e = static_cast<size_t>(order[i]);
    out.emplace_back(strings_[e], counts_[e]);
  }
  return out;
}

}  // namespace zel
