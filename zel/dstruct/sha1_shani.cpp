// SHA-1 compression with the processor's SHA extensions.  Compiled for the
// baseline processor; only this function carries the target attribute, and
// it runs only after cpufeatures.h has found the instructions.
//
// Each group of four rounds takes one of the four message registers in
// turn; the schedule for later rounds is computed alongside (sha1msg1,
// xor, sha1msg2), and E rotates through sha1nexte.
#include <cstddef>
#include <cstdint>

#include "zel/dstruct/internal/kernels.h"
#include "zel/dstruct/sha1.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace zel::detail {

__attribute__((target("sha,sse4.1,ssse3"))) void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data,
                                                                 size_t blocks) noexcept {
  const __m128i mask = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h)), 0x1B);
  __m128i e0 = _mm_set_epi32(static_cast<int>(h[4]), 0, 0, 0);
  __m128i e1;
  __m128i m[4];

  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abcd_save = abcd;
    const __m128i e_save = e0;
    for (int i = 0; i < 4; ++i)
      m[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), mask);

    // Group g: rounds 4g..4g+3 with message register g % 4.  E alternates
    // between e0 (even g) and e1 (odd g).
#define ZEL_SHA1_GROUP(g, ecur, enext)                                  \
  do {                                                                  \
    if ((g) == 0)                                                       \
      ecur = _mm_add_epi32(ecur, m[0]);                                 \
    else                                                                \
      ecur = _mm_sha1nexte_epu32(ecur, m[(g) % 4]);                     \
    enext = abcd;                                                       \
    if ((g) >= 3 && (g) <= 18)                                          \
      m[((g) + 1) % 4] = _mm_sha1msg2_epu32(m[((g) + 1) % 4], m[(g) % 4]); \
    abcd = _mm_sha1rnds4_epu32(abcd, ecur, (g) / 5);                    \
    if ((g) >= 1 && (g) <= 16)                                          \
      m[((g) + 3) % 4] = _mm_sha1msg1_epu32(m[((g) + 3) % 4], m[(g) % 4]); \
    if ((g) >= 2 && (g) <= 17)                                          \
      m[((g) + 2) % 4] = _mm_xor_si128(m[((g) + 2) % 4], m[(g) % 4]);   \
  } while (0)

    ZEL_SHA1_GROUP(0, e0, e1);
    ZEL_SHA1_GROUP(1, e1, e0);
    ZEL_SHA1_GROUP(2, e0, e1);
    ZEL_SHA1_GROUP(3, e1, e0);
    ZEL_SHA1_GROUP(4, e0, e1);
    ZEL_SHA1_GROUP(5, e1, e0);
    ZEL_SHA1_GROUP(6, e0, e1);
    ZEL_SHA1_GROUP(7, e1, e0);
    ZEL_SHA1_GROUP(8, e0, e1);
    ZEL_SHA1_GROUP(9, e1, e0);
    ZEL_SHA1_GROUP(10, e0, e1);
    ZEL_SHA1_GROUP(11, e1, e0);
    ZEL_SHA1_GROUP(12, e0, e1);
    ZEL_SHA1_GROUP(13, e1, e0);
    ZEL_SHA1_GROUP(14, e0, e1);
    ZEL_SHA1_GROUP(15, e1, e0);
    ZEL_SHA1_GROUP(16, e0, e1);
    ZEL_SHA1_GROUP(17, e1, e0);
    ZEL_SHA1_GROUP(18, e0, e1);
    ZEL_SHA1_GROUP(19, e1, e0);
#undef ZEL_SHA1_GROUP

    e0 = _mm_sha1nexte_epu32(e0, e_save);
    abcd = _mm_add_epi32(abcd, abcd_save);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(h), _mm_shuffle_epi32(abcd, 0x1B));
  h[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

}  // namespace zel::detail

#else

namespace zel::detail {
// No SHA extensions here: CpuHasShaNi() is false and this is never reached;
// it still answers correctly.
void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept {
  Sha1BlocksPortable(h, data, blocks);
}
}  // namespace zel::detail

#endif
