// CRC-32 by folding with carry-less multiplication: PCLMULQDQ on 128-bit
// registers, and VPCLMULQDQ on 512-bit ones where the processor has it
// with AVX-512.  Compiled for the baseline processor; only the functions
// below carry the target attributes, and they run only after
// cpufeatures.h has found the instructions.
//
// The data is folded 64 bytes at a time into four 128-bit accumulators
// (the 512-bit kernel: 256 bytes at a time into four 512-bit ones, then
// those into one, whose four lanes become the four 128-bit accumulators),
// then into one, then reduced to 64 and 32 bits and finished with a
// Barrett reduction.  The constants are powers of x modulo the CRC-32
// polynomial in the bit-reflected domain:
//   k1 = x^(4*128+32) mod P, k2 = x^(4*128-32) mod P   (fold by 64 bytes)
//   k3 = x^(128+32) mod P,   k4 = x^(128-32) mod P     (fold by 16 bytes)
//   k5 = x^64 mod P                                    (64 to 32 bits)
//   P' = the polynomial, mu = floor(x^64 / P)          (Barrett)
//   x^(2048+32) mod P, x^(2048-32) mod P               (fold by 256 bytes)
// each reflected and shifted left by one.
#include <cstddef>
#include <cstdint>

#include "zel/dstruct/crc.h"
#include "zel/dstruct/internal/kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace zel::detail {
namespace {

#define ZEL_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

ZEL_CLMUL_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  const __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
  const __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

ZEL_CLMUL_TARGET inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Folds the four accumulators of the 64 bytes before `p` into one, then
// the rest of the input 16 bytes at a time, and reduces to the 32-bit
// state; the last n % 16 bytes go through the table kernel.
ZEL_CLMUL_TARGET uint32_t Finish(__m128i x0, __m128i x1, __m128i x2, __m128i x3, const uint8_t* p,
                                 size_t n) noexcept {
  const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124);
  const __m128i poly_mu = _mm_set_epi64x(0x1F7011641, 0x1DB710641);
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);

  __m128i x = Fold(x0, k3k4, x1);
  x = Fold(x, k3k4, x2);
  x = Fold(x, k3k4, x3);
  while (n >= 16) {
    x = Fold(x, k3k4, Load(p));
    p += 16;
    n -= 16;
  }

  // 128 -> 64 bits.
  __m128i t = _mm_clmulepi64_si128(x, k3k4, 0x10);
  x = _mm_xor_si128(_mm_srli_si128(x, 8), t);
  // 64 -> 32 bits.
  t = _mm_clmulepi64_si128(_mm_and_si128(x, mask32), k5, 0x00);
  x = _mm_xor_si128(_mm_srli_si128(x, 4), t);
  // Barrett reduction.
  t = _mm_clmulepi64_si128(_mm_and_si128(x, mask32), poly_mu, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, mask32), poly_mu, 0x00);
  x = _mm_xor_si128(x, t);
  const uint32_t folded = static_cast<uint32_t>(_mm_extract_epi32(x, 1));
  return Crc32Portable(folded, p, n);
}

#define ZEL_VPCLMUL_TARGET \
  __attribute__((target("vpclmulqdq,avx512f,avx512vl,avx512bw,pclmul,sse4.1")))

ZEL_VPCLMUL_TARGET inline __m512i Fold512(__m512i x, __m512i k, __m512i next) {
  const __m512i lo = _mm512_clmulepi64_epi128(x, k, 0x00);
  const __m512i hi = _mm512_clmulepi64_epi128(x, k, 0x11);
  return _mm512_ternarylogic_epi64(lo, hi, next, 0x96);  // lo ^ hi ^ next
}

ZEL_VPCLMUL_TARGET inline __m512i Load512(const uint8_t* p) {
  return _mm512_loadu_si512(reinterpret_cast<const void*>(p));
}

}  // namespace

ZEL_CLMUL_TARGET uint32_t Crc32Clmul(uint32_t state, const uint8_t* p, size_t n) noexcept {
  if (n < 64) return Crc32Portable(state, p, n);
  const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);

  __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(state)));
  __m128i x1 = Load(p + 16);
  __m128i x2 = Load(p + 32);
  __m128i x3 = Load(p + 48);
  p += 64;
  n -= 64;
  while (n >= 64) {
    x0 = Fold(x0, k1k2, Load(p));
    x1 = Fold(x1, k1k2, Load(p + 16));
    x2 = Fold(x2, k1k2, Load(p + 32));
    x3 = Fold(x3, k1k2, Load(p + 48));
    p += 64;
    n -= 64;
  }
  return Finish(x0, x1, x2, x3, p, n);
}

// GCC 12's own AVX-512 intrinsics start some results from a deliberately
// uninitialised value, which its flow analysis then reports.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

ZEL_VPCLMUL_TARGET uint32_t Crc32Vpclmul(uint32_t state, const uint8_t* p, size_t n) noexcept {
  if (n < 256) return Crc32Clmul(state, p, n);
  const __m512i k256 = _mm512_broadcast_i32x4(_mm_set_epi64x(0x1322d1430, 0x11542778a));
  const __m512i k64 = _mm512_broadcast_i32x4(_mm_set_epi64x(0x1c6e41596, 0x154442bd4));

  const __m512i first = _mm512_inserti32x4(_mm512_setzero_si512(),
                                           _mm_cvtsi32_si128(static_cast<int>(state)), 0);
  __m512i x0 = _mm512_xor_si512(Load512(p), first);
  __m512i x1 = Load512(p + 64);
  __m512i x2 = Load512(p + 128);
  __m512i x3 = Load512(p + 192);
  p += 256;
  n -= 256;
  while (n >= 256) {
    x0 = Fold512(x0, k256, Load512(p));
    x1 = Fold512(x1, k256, Load512(p + 64));
    x2 = Fold512(x2, k256, Load512(p + 128));
    x3 = Fold512(x3, k256, Load512(p + 192));
    p += 256;
    n -= 256;
  }
  __m512i x = Fold512(x0, k64, x1);
  x = Fold512(x, k64, x2);
  x = Fold512(x, k64, x3);
  while (n >= 64) {
    x = Fold512(x, k64, Load512(p));
    p += 64;
    n -= 64;
  }
  return Finish(_mm512_extracti32x4_epi32(x, 0), _mm512_extracti32x4_epi32(x, 1),
                _mm512_extracti32x4_epi32(x, 2), _mm512_extracti32x4_epi32(x, 3), p, n);
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace zel::detail

#else

namespace zel::detail {
// No carry-less multiply here: CpuHasClmul() and CpuHasVpclmul() are
// false, and these are never reached; they still answer correctly.
uint32_t Crc32Clmul(uint32_t state, const uint8_t* p, size_t n) noexcept {
  return Crc32Portable(state, p, n);
}
uint32_t Crc32Vpclmul(uint32_t state, const uint8_t* p, size_t n) noexcept {
  return Crc32Portable(state, p, n);
}
}  // namespace zel::detail

#endif
