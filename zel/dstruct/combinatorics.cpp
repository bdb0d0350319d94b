#include "zel/dstruct/combinatorics.h"

#include <cmath>

#include "zel/platform/export.h"
#include "zel/univconst/univconst.h"

namespace ZEL_EXPORT zel {
namespace {

// The recursive step with a = the length of the prefix still being permuted.
bool PermStep(TCombination& p, int n, int a) noexcept {
  if (a <= 1) return false;
  const uint8_t v = static_cast<uint8_t>(n - a + 1);
  int q = 1;
  while (q <= n && p[static_cast<size_t>(q)] != v) ++q;
  if (q > n) return false;  // not a permutation of 1..n
  if (q != a) {
    if (q + 1 > n) return false;  // v stands past a: not a permutation
    std::swap(p[static_cast<size_t>(q)], p[static_cast<size_t>(q + 1)]);
    return true;
  }
  if (!PermStep(p, n, a - 1)) return false;
  for (int i = a; i > 1; --i) p[static_cast<size_t>(i)] = p[static_cast<size_t>(i - 1)];
  p[1] = v;
  return true;
}

bool CombStep(TCombination& c, int k, int max_num, int p) noexcept {
  while (c[static_cast<size_t>(p)] >= max_num - k + p) {
    if (p == 1) return false;
    --p;
  }
  ++c[static_cast<size_t>(p)];
  for (int j = p + 1; j <= k; ++j) c[static_cast<size_t>(j)] = static_cast<uint8_t>(c[static_cast<size_t>(j - 1)] + 1);
  return true;
}

template <class T>
int NearestIndex(T x, std::span<const T> values) noexcept {
  double best = static_cast<double>(uc_MaxDouble);
  int result = -1;
  for (size_t i = 0; i < values.size(); ++i) {
    const double d = std::fabs(static_cast<double>(values[i]) - static_cast<double>(x));
    if (d < best) {  // false for NaN: such elements are skipped
      best = d;
      result = static_cast<int>(i);
    }
  }
  return result;
}

}  // namespace

bool NextPermutation(TCombination& Perm) noexcept {
  const int n = Perm[0];
  if (n < 1) return false;
  // Work on a copy so that the last permutation leaves Perm unchanged even
  // where an inner step has already moved elements.
  TCombination next = Perm;
  if (!PermStep(next, n, n)) return false;
  Perm = next;
  return true;
}

bool NextCombination(TCombination& Comb, int MaxNum) noexcept {
  const int k = Comb[0];
  if (k < 1) return false;
  // Values are bytes: a MaxNum above 255 ends the sequence at 255.
  if (MaxNum > 255) MaxNum = 255;
  return CombStep(Comb, k, MaxNum, k);
}

int IndexOfNearestArrayValue(double x, std::span<const double> values) noexcept {
  return NearestIndex<double>(x, values);
}

int IndexOfNearestArrayValue(int32_t x, std::span<const int32_t> values) noexcept {
  return NearestIndex<int32_t>(x, values);
}

}  // namespace zel
