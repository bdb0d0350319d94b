// The literal scan of TGrep: compares the probe characters at many starts at
// once, and the whole literal where they all stand (unless the probe is the
// whole literal).  Each width has its own loop; the starts at the end that
// do not fill a block are checked with one last block that overlaps the
// ones before (AVX-512: with masked loads, which read nothing beyond the
// input), or by the next narrower loop when the input is shorter than a
// block.
#include "zel/stringl/internal/grepscan.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__)
#include <immintrin.h>
#define ZEL_GREP_AVX2 __attribute__((target("avx2")))
#define ZEL_GREP_AVX512 __attribute__((target("avx512f,avx512bw")))
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zel::detail {
namespace {

std::atomic<int> g_limit{kGrepAvx512};

GrepVector Detect() noexcept {
#if defined(__x86_64__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return kGrepAvx512;
  if (__builtin_cpu_supports("avx2")) return kGrepAvx2;
  return kGrepSse2;
#elif defined(__SSE2__)
  return kGrepSse2;
#else
  return kGrepPortable;
#endif
}

GrepVector Level() noexcept {
  return static_cast<GrepVector>(std::min<int>(GrepVectorAvailable(), g_limit.load(std::memory_order_relaxed)));
}

// The first start among the probe's hits in `mask` (kBits bits per start,
// the lowest for `base`) at which the whole literal stands; 0 when none
// does.
template <int kBits, bool kExact>
inline int Confirm(const Char* s, int base, unsigned mask, const GrepProbe& pr) {
  if constexpr (kExact) return base + __builtin_ctz(mask) / kBits;
  constexpr unsigned kStart = (1u << kBits) - 1;
  while (mask != 0) {
    const int bit = __builtin_ctz(mask);
    const int q = base + bit / kBits;
    if (LiteralStandsAt(s + q - 1, pr.str, pr.len, pr.ignore_case)) return q;
    mask &= ~(kStart << bit);
  }
  return 0;
}

template <int N, bool kExact>
int FindPortable(const Char* s, int p, int last, const GrepProbe& pr) noexcept {
  for (; p <= last; ++p) {
    const Char* b = s + p - 1;
    bool all = true;
    for (int i = 0; i < N && all; ++i) all = static_cast<Char>(b[pr.at[i]] | pr.fold[i]) == pr.want[i];
    if (all && (kExact || LiteralStandsAt(b, pr.str, pr.len, pr.ignore_case))) return p;
  }
  return last + 1;
}

#if defined(__SSE2__)
// The lane mask (all ones for a start where every probe character stands)
// of the eight starts from b + 1.
template <int N>
inline __m128i Hits8(const Char* b, const __m128i* want, const __m128i* fold, const int32_t* at) {
  __m128i m = _mm_set1_epi16(-1);
  for (int i = 0; i < N; ++i) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at[i]));
    m = _mm_and_si128(m, _mm_cmpeq_epi16(_mm_or_si128(c, fold[i]), want[i]));
  }
  return m;
}

template <int N, bool kExact>
int FindSse2(const Char* s, int p, int last, const GrepProbe& pr) noexcept {
  __m128i want[N], fold[N];
  for (int i = 0; i < N; ++i) {
    want[i] = _mm_set1_epi16(static_cast<short>(pr.want[i]));
    fold[i] = _mm_set1_epi16(static_cast<short>(pr.fold[i]));
  }
  // Two mask bits per start.
  for (; p + 7 <= last; p += 8) {
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(Hits8<N>(s + p - 1, want, fold, pr.at)));
    if (mask != 0) {
      const int q = Confirm<2, kExact>(s, p, mask, pr);
      if (q != 0) return q;
    }
  }
  if (p > last) return last + 1;
  if (last < 8) return FindPortable<N, kExact>(s, p, last, pr);
  const int from = last - 7;  // the starts before p are done
  const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(Hits8<N>(s + from - 1, want, fold, pr.at))) &
                        (~0u << (2 * (p - from)));
  const int q = mask != 0 ? Confirm<2, kExact>(s, from, mask, pr) : 0;
  return q != 0 ? q : last + 1;
}
#endif

#if defined(__x86_64__)
template <int N>
ZEL_GREP_AVX2 inline unsigned Hits16(const Char* b, const __m256i* want, const __m256i* fold, const int32_t* at) {
  __m256i m = _mm256_set1_epi16(-1);
  for (int i = 0; i < N; ++i) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + at[i]));
    m = _mm256_and_si256(m, _mm256_cmpeq_epi16(_mm256_or_si256(c, fold[i]), want[i]));
  }
  return static_cast<unsigned>(_mm256_movemask_epi8(m));  // two bits per start
}

template <int N, bool kExact>
ZEL_GREP_AVX2 int FindAvx2(const Char* s, int p, int last, const GrepProbe& pr) noexcept {
  __m256i want[N], fold[N];
  for (int i = 0; i < N; ++i) {
    want[i] = _mm256_set1_epi16(static_cast<short>(pr.want[i]));
    fold[i] = _mm256_set1_epi16(static_cast<short>(pr.fold[i]));
  }
  for (; p + 15 <= last; p += 16) {
    const unsigned mask = Hits16<N>(s + p - 1, want, fold, pr.at);
    if (mask != 0) {
      const int q = Confirm<2, kExact>(s, p, mask, pr);
      if (q != 0) return q;
    }
  }
  if (p > last) return last + 1;
  if (last < 16) return FindSse2<N, kExact>(s, p, last, pr);
  const int from = last - 15;
  const unsigned mask = Hits16<N>(s + from - 1, want, fold, pr.at) & (~0u << (2 * (p - from)));
  const int q = mask != 0 ? Confirm<2, kExact>(s, from, mask, pr) : 0;
  return q != 0 ? q : last + 1;
}

template <int N>
ZEL_GREP_AVX512 inline __mmask32 Hits32(const Char* b, __mmask32 live, const __m512i* want, const __m512i* fold,
                                        const int32_t* at) {
  __mmask32 m = live;
  for (int i = 0; i < N; ++i) {
    const __m512i c = _mm512_maskz_loadu_epi16(live, b + at[i]);
    m = _mm512_mask_cmpeq_epi16_mask(m, _mm512_or_si512(c, fold[i]), want[i]);
  }
  return m;
}

template <int N, bool kExact>
ZEL_GREP_AVX512 int FindAvx512(const Char* s, int p, int last, const GrepProbe& pr) noexcept {
  __m512i want[N], fold[N];
  for (int i = 0; i < N; ++i) {
    want[i] = _mm512_set1_epi16(static_cast<short>(pr.want[i]));
    fold[i] = _mm512_set1_epi16(static_cast<short>(pr.fold[i]));
  }
  for (; p + 31 <= last; p += 32) {
    const __mmask32 m = Hits32<N>(s + p - 1, ~__mmask32{0}, want, fold, pr.at);
    if (m != 0) {
      const int q = Confirm<1, kExact>(s, p, m, pr);
      if (q != 0) return q;
    }
  }
  if (p > last) return last + 1;
  // The starts p..last, fewer than 32: the lanes beyond them are not read.
  const __mmask32 live = (__mmask32{1} << (last - p + 1)) - 1;
  const __mmask32 m = Hits32<N>(s + p - 1, live, want, fold, pr.at);
  const int q = m != 0 ? Confirm<1, kExact>(s, p, m, pr) : 0;
  return q != 0 ? q : last + 1;
}
#endif

int FindEmpty(const Char*, int p, int last, const GrepProbe&) noexcept { return p <= last ? p : last + 1; }

// --- The same scans over bytes ---------------------------------------------
// One byte per start: sixteen (SSE2) or thirty-two (AVX2) starts a time.  A
// literal with a character above 255 stands nowhere in bytes.

int FindEmpty8(const unsigned char*, int p, int last, const GrepProbe&) noexcept {
  return p <= last ? p : last + 1;
}

int FindNone8(const unsigned char*, int, int last, const GrepProbe&) noexcept { return last + 1; }

template <bool kExact, class Mask>
inline int Confirm8(const unsigned char* s, int base, Mask mask, const GrepProbe& pr) {
  if constexpr (kExact) return base + __builtin_ctzll(mask);
  while (mask != 0) {
    const int q = base + __builtin_ctzll(mask);
    if (LiteralStandsAt(s + q - 1, pr.str, pr.len, pr.ignore_case)) return q;
    mask &= mask - 1;
  }
  return 0;
}

template <int N, bool kExact>
int FindPortable8(const unsigned char* s, int p, int last, const GrepProbe& pr) noexcept {
  for (; p <= last; ++p) {
    const unsigned char* b = s + p - 1;
    bool all = true;
    for (int i = 0; i < N && all; ++i) all = static_cast<Char>(b[pr.at[i]] | pr.fold[i]) == pr.want[i];
    if (all && (kExact || LiteralStandsAt(b, pr.str, pr.len, pr.ignore_case))) return p;
  }
  return last + 1;
}

#if defined(__SSE2__)
template <int N, bool kExact>
int FindSse2Bytes(const unsigned char* s, int p, int last, const GrepProbe& pr) noexcept {
  __m128i want[N], fold[N];
  for (int i = 0; i < N; ++i) {
    want[i] = _mm_set1_epi8(static_cast<char>(pr.want[i]));
    fold[i] = _mm_set1_epi8(static_cast<char>(pr.fold[i]));
  }
  const auto hits = [&](const unsigned char* b) {
    __m128i m = _mm_set1_epi8(-1);
    for (int i = 0; i < N; ++i) {
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + pr.at[i]));
      m = _mm_and_si128(m, _mm_cmpeq_epi8(_mm_or_si128(c, fold[i]), want[i]));
    }
    return static_cast<unsigned>(_mm_movemask_epi8(m));
  };
  for (; p + 15 <= last; p += 16) {
    const unsigned mask = hits(s + p - 1);
    if (mask != 0) {
      const int q = Confirm8<kExact>(s, p, mask, pr);
      if (q != 0) return q;
    }
  }
  if (p > last) return last + 1;
  if (last < 16) return FindPortable8<N, kExact>(s, p, last, pr);
  const int from = last - 15;  // the starts before p are done
  const unsigned mask = hits(s + from - 1) & (~0u << (p - from));
  const int q = mask != 0 ? Confirm8<kExact>(s, from, mask, pr) : 0;
  return q != 0 ? q : last + 1;
}
#endif

#if defined(__x86_64__)
template <int N>
ZEL_GREP_AVX2 inline unsigned Hits32Bytes(const unsigned char* b, const __m256i* want, const __m256i* fold,
                                          const int32_t* at) {
  __m256i m = _mm256_set1_epi8(-1);
  for (int i = 0; i < N; ++i) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + at[i]));
    m = _mm256_and_si256(m, _mm256_cmpeq_epi8(_mm256_or_si256(c, fold[i]), want[i]));
  }
  return static_cast<unsigned>(_mm256_movemask_epi8(m));  // one bit per start
}

template <int N, bool kExact>
ZEL_GREP_AVX2 int FindAvx2Bytes(const unsigned char* s, int p, int last, const GrepProbe& pr) noexcept {
  __m256i want[N], fold[N];
  for (int i = 0; i < N; ++i) {
    want[i] = _mm256_set1_epi8(static_cast<char>(pr.want[i]));
    fold[i] = _mm256_set1_epi8(static_cast<char>(pr.fold[i]));
  }
  for (; p + 31 <= last; p += 32) {
    const unsigned mask = Hits32Bytes<N>(s + p - 1, want, fold, pr.at);
    if (mask != 0) {
      const int q = Confirm8<kExact>(s, p, mask, pr);
      if (q != 0) return q;
    }
  }
  if (p > last) return last + 1;
  if (last < 32) return FindSse2Bytes<N, kExact>(s, p, last, pr);
  const int from = last - 31;
  const unsigned mask = Hits32Bytes<N>(s + from - 1, want, fold, pr.at) & (~0u << (p - from));
  const int q = mask != 0 ? Confirm8<kExact>(s, from, mask, pr) : 0;
  return q != 0 ? q : last + 1;
}



template <int N>
ZEL_GREP_AVX512 inline __mmask64 Hits64Bytes(const unsigned char* b, __mmask64 live, const __m512i* want,
                                             const __m512i* fold, const int32_t* at) {
  __mmask64 m = live;
  for (int i = 0; i < N; ++i) {
    const __m512i c = _mm512_maskz_loadu_epi8(live, b + at[i]);
    m = _mm512_mask_cmpeq_epi8_mask(m, _mm512_or_si512(c, fold[i]), want[i]);
  }
  return m;
}

// Sixty-four starts a time; the starts at the end through masked loads,
// which read nothing beyond the input, so a line of up to 64 starts is one
// block.
template <int N, bool kExact>
ZEL_GREP_AVX512 int FindAvx512Bytes(const unsigned char* s, int p, int last, const GrepProbe& pr) noexcept {
  __m512i want[N], fold[N];
  for (int i = 0; i < N; ++i) {
    want[i] = _mm512_set1_epi8(static_cast<char>(pr.want[i]));
    fold[i] = _mm512_set1_epi8(static_cast<char>(pr.fold[i]));
  }
  for (; p + 63 <= last; p += 64) {
    const __mmask64 m = Hits64Bytes<N>(s + p - 1, ~__mmask64{0}, want, fold, pr.at);
    if (m != 0) {
      const int q = Confirm8<kExact>(s, p, static_cast<uint64_t>(m), pr);
      if (q != 0) return q;
    }
  }
  if (p > last) return last + 1;
  const __mmask64 live = (__mmask64{1} << (last - p + 1)) - 1;  // fewer than 64 starts
  const __mmask64 m = Hits64Bytes<N>(s + p - 1, live, want, fold, pr.at);
  const int q = m != 0 ? Confirm8<kExact>(s, p, static_cast<uint64_t>(m), pr) : 0;
  return q != 0 ? q : last + 1;
}
#endif

using FindFn8 = int (*)(const unsigned char*, int, int, const GrepProbe&) noexcept;

template <int N, bool kExact>
FindFn8 Finder8() noexcept {
  switch (Level()) {
#if defined(__x86_64__)
    case kGrepAvx512: return FindAvx512Bytes<N, kExact>;
    case kGrepAvx2: return FindAvx2Bytes<N, kExact>;
#endif
#if defined(__SSE2__)
    case kGrepSse2: return FindSse2Bytes<N, kExact>;
#endif
    default: return FindPortable8<N, kExact>;
  }
}

template <int N>
FindFn8 Finder8(bool exact) noexcept {
  return exact ? Finder8<N, true>() : Finder8<N, false>();
}

using FindFn = int (*)(const Char*, int, int, const GrepProbe&) noexcept;

template <int N, bool kExact>
FindFn Finder() noexcept {
  switch (Level()) {
#if defined(__x86_64__)
    case kGrepAvx512: return FindAvx512<N, kExact>;
    case kGrepAvx2: return FindAvx2<N, kExact>;
#endif
#if defined(__SSE2__)
    case kGrepSse2: return FindSse2<N, kExact>;
#endif
    default: return FindPortable<N, kExact>;
  }
}

template <int N>
FindFn Finder(bool exact) noexcept {
  return exact ? Finder<N, true>() : Finder<N, false>();
}

}  // namespace

GrepProbe MakeGrepProbe(const Char* str, int len, bool fold) noexcept {
  GrepProbe pr;
  pr.str = str;
  pr.len = len;
  pr.ignore_case = fold;
  // The first characters, and the last one, which is independent of the
  // first in ordinary text more often than the second is.
  const int at[3] = {0, len - 1, 1};
  pr.count = std::min(len, 3);
  for (int i = 0; i < pr.count; ++i) pr.at[i] = at[i];
  std::sort(pr.at, pr.at + pr.count);
  pr.exact = pr.count == len;
  for (int i = 0; i < pr.count; ++i) {
    const Char c = str[pr.at[i]];
    pr.want[i] = c;
    pr.fold[i] = fold && c >= u'a' && c <= u'z' ? Char{0x20} : Char{0};
    if (fold && c >= u'A' && c <= u'Z') pr.exact = false;
  }
  switch (pr.count) {
    case 0: pr.find = FindEmpty; break;
    case 1: pr.find = Finder<1>(pr.exact); break;
    case 2: pr.find = Finder<2>(pr.exact); break;
    default: pr.find = Finder<3>(pr.exact); break;
  }
  // Over bytes: the probe characters compare as bytes, which holds only
  // for codes up to 255; a literal with a character above stands nowhere.
  const bool fits_bytes = std::all_of(str, str + len, [](Char c) { return c <= 0xFF; });
  switch (fits_bytes ? pr.count : -1) {
    case -1: pr.find8 = FindNone8; break;
    case 0: pr.find8 = FindEmpty8; break;
    case 1: pr.find8 = Finder8<1>(pr.exact); break;
    case 2: pr.find8 = Finder8<2>(pr.exact); break;
    default: pr.find8 = Finder8<3>(pr.exact); break;
  }
  return pr;
}

GrepVector GrepVectorAvailable() noexcept {
  static const GrepVector available = Detect();
  return available;
}

void LimitGrepVector(GrepVector level) noexcept { g_limit.store(level, std::memory_order_relaxed); }

}  // namespace zel::detail
