// zel/dstruct/combinatorics.h — stepping through permutations and
// combinations in place, and finding the array element nearest to a value.
//
//   zel::TCombination p{};
//   p[0] = 3; p[1] = 1; p[2] = 2; p[3] = 3;          // n = 3: 1 2 3
//   do { ... } while (zel::NextPermutation(p));       // all 6 orders
//
//   zel::TCombination c{};
//   c[0] = 2; c[1] = 1; c[2] = 2;                     // k = 2: 1 2
//   do { ... } while (zel::NextCombination(c, 4));    // 12 13 14 23 24 34
//
//   const double v[] = {1, 2, 3};
//   zel::IndexOfNearestArrayValue(2.5, v);            // 1 (ties: first)
//
// A `TCombination` holds its length n (or k) in element 0 and the values in
// elements 1..n, so at most 255 values of at most 255.  The permutation
// order is this library's own: from 1 2 3 it runs 2 1 3, 2 3 1, 1 3 2,
// 3 1 2, 3 2 1.  Combinations run in lexicographic order.  The argument must
// be a permutation of 1..n (an increasing k-subset of 1..MaxNum); other
// contents are outside the contract but never read or write outside the
// array.
//
// `IndexOfNearestArrayValue` returns the 0-based index of the element with
// the smallest absolute difference (the first of equal ones), -1 for an
// empty array.  NaN elements (and a NaN x) never count as nearer, so they
// are skipped; a difference of 1.7E308 or more never counts either.
#ifndef ZEL_DSTRUCT_COMBINATORICS_H_
#define ZEL_DSTRUCT_COMBINATORICS_H_

#include <array>
#include <cstdint>
#include <span>

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

using TCombination = std::array<uint8_t, 256>;

// True after changing Perm to the next permutation; false (Perm unchanged)
// after the last one.
bool NextPermutation(TCombination& Perm) noexcept;
// True after changing Comb to the next combination of values 1..MaxNum;
// false (Comb unchanged) after the last one.
bool NextCombination(TCombination& Comb, int MaxNum) noexcept;

int IndexOfNearestArrayValue(double x, std::span<const double> values) noexcept;
int IndexOfNearestArrayValue(int32_t x, std::span<const int32_t> values) noexcept;

}  // namespace zel

#endif  // ZEL_DSTRUCT_COMBINATORICS_H_
