// SHA1FromString: the digest of the UTF-8 form of UTF-16 text, without
// building the converted copy.  The text is encoded into a 4 KiB buffer a
// piece at a time and each piece goes to TSHA1.
//
// Three encoders, the widest the processor allows taken: 32 characters at
// a time with AVX-512 (VBMI2's byte compress packs the one to four bytes
// of each character, and the one or two of text below U+0800 without
// widening it; all-ASCII stretches of 64 are narrowed in one go),
// eight at a time with SSSE3, and one at a time.  Every one writes what
// ToUtf8 writes: a surrogate pair as one four-byte character, an unpaired
// surrogate as U+FFFD.
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/internal/sha1_string.h"
#include "zel/dstruct/sha1.h"
#include "zel/platform/internal/codepoints.h"
#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {
namespace {

using detail::Utf8Encoder;

#if defined(__x86_64__) || defined(__i386__)

// ---- Eight characters at a time (SSSE3) --------------------------------

// Room the SSSE3 step needs: eight characters of up to three bytes, and
// its 16-byte stores; and the characters it needs.
constexpr size_t kSsse3Room = 32;
constexpr size_t kSsse3Reach = 8;

// For four characters of one, two or three UTF-8 bytes, laid out as their
// first bytes (0..3), middle bytes (4..7) and last bytes (8..11) in one
// register: the byte order of their UTF-8 form, and its length.  Indexed
// by 4 bits "not ASCII" and 4 bits "three bytes", one per character.
struct Utf8Shuffles {
  alignas(16) uint8_t order[256][16];
  uint8_t length[256];
  constexpr Utf8Shuffles() : order{}, length{} {
    for (int idx = 0; idx < 256; ++idx) {
      int n = 0;
      for (int k = 0; k < 4; ++k) {
        const bool wide = (idx >> k) & 1, three = (idx >> (4 + k)) & 1;
        if (three) order[idx][n++] = static_cast<uint8_t>(k);
        if (wide || three) order[idx][n++] = static_cast<uint8_t>(4 + k);
        order[idx][n++] = static_cast<uint8_t>(8 + k);
      }
      length[idx] = static_cast<uint8_t>(n);
      for (int b = n; b < 16; ++b) order[idx][b] = 0x80;  // zero
    }
  }
};
constexpr Utf8Shuffles kUtf8Shuffles;

// Eight characters at a time: ASCII blocks are narrowed, blocks of one- to
// three-byte characters are encoded by shuffling, and a block with a
// surrogate is encoded a character at a time up to and past it.
__attribute__((target("ssse3"))) size_t EncodeUtf8Ssse3(StringView s, size_t& pos, uint8_t* out,
                                                        size_t room) noexcept {
  size_t i = pos;  // a local, which the compiler keeps in a register
  uint8_t* o = out;
  uint8_t* const end = out + room;
  const size_t n = s.size();
  const __m128i zero = _mm_setzero_si128();
  while (n - i >= kSsse3Reach && static_cast<size_t>(end - o) >= kSsse3Room) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(c, _mm_set1_epi16(-128)), zero);
    if (_mm_movemask_epi8(ascii) == 0xFFFF) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(c, c));
      o += 8;
      i += 8;
      continue;
    }
    const __m128i surrogate =
        _mm_cmpeq_epi16(_mm_and_si128(c, _mm_set1_epi16(static_cast<short>(0xF800))),
                        _mm_set1_epi16(static_cast<short>(0xD800)));
    const unsigned sur_mask = static_cast<unsigned>(_mm_movemask_epi8(surrogate));
    if (sur_mask != 0) {
      const size_t stop = i + static_cast<size_t>(__builtin_ctz(sur_mask) / 2);
      while (i <= stop) o = detail::WriteUtf8(o, detail::NextCodePoint(s, i));
      continue;
    }
    const __m128i two = _mm_cmpeq_epi16(_mm_and_si128(c, _mm_set1_epi16(static_cast<short>(0xF800))), zero);
    const __m128i low6 = _mm_set1_epi16(0x3F);
    const __m128i cont = _mm_set1_epi16(0x80);
    // last: c itself for ASCII, else 10xxxxxx of the low six bits.
    const __m128i last = _mm_or_si128(_mm_and_si128(ascii, c),
                                      _mm_andnot_si128(ascii, _mm_or_si128(cont, _mm_and_si128(c, low6))));
    const __m128i c6 = _mm_srli_epi16(c, 6);
    // middle: the lead byte 110xxxxx for two bytes, else 10xxxxxx.
    const __m128i mid = _mm_or_si128(
        _mm_and_si128(two, _mm_or_si128(_mm_set1_epi16(0xC0), c6)),
        _mm_andnot_si128(two, _mm_or_si128(cont, _mm_and_si128(c6, low6))));
    const __m128i first = _mm_or_si128(_mm_set1_epi16(0xE0), _mm_srli_epi16(c, 12));
    const __m128i f = _mm_packus_epi16(first, first);
    const __m128i m = _mm_packus_epi16(mid, mid);
    const __m128i l = _mm_packus_epi16(last, last);
    const unsigned wide = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ascii, ascii))) & 0xFF;
    const unsigned three = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(two, two))) & 0xFF;
    // Characters 0..3, then 4..7 (shifted down by four bytes).
    const __m128i lo = _mm_unpacklo_epi64(_mm_unpacklo_epi32(f, m), l);
    const __m128i hi = _mm_unpacklo_epi64(_mm_unpacklo_epi32(_mm_srli_si128(f, 4), _mm_srli_si128(m, 4)),
                                          _mm_srli_si128(l, 4));
    const unsigned idx_lo = (wide & 0xF) | ((three & 0xF) << 4);
    const unsigned idx_hi = (wide >> 4) | (three & 0xF0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(lo, _mm_load_si128(reinterpret_cast<const __m128i*>(kUtf8Shuffles.order[idx_lo]))));
    o += kUtf8Shuffles.length[idx_lo];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(hi, _mm_load_si128(reinterpret_cast<const __m128i*>(kUtf8Shuffles.order[idx_hi]))));
    o += kUtf8Shuffles.length[idx_hi];
    i += 8;
  }
  pos = i;
  return static_cast<size_t>(o - out);
}

bool CpuHasSsse3() noexcept {
  static const bool has = __builtin_cpu_supports("ssse3");
  return has;
}

// ---- 32 characters at a time (AVX-512) ---------------------------------

// GCC 12's own AVX-512 intrinsics start some results from a deliberately
// uninitialised value, which its flow analysis then reports.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#define ZEL_AVX512_TEXT_TARGET "popcnt,avx2,avx512f,avx512bw,avx512vl,avx512cd,avx512vbmi,avx512vbmi2"

// Each character becomes a 32-bit lane holding its code point; the lane's
// leading zero count tells its UTF-8 length (the table index is that count
// modulo 32, so U+0000, with 32, lands on 0).  Per length: from which bits
// of the lane vpmultishiftqb takes each output byte (offsets for an even
// lane; an odd lane adds 32), which of them to keep and the marker bits to
// add.  A kept byte always has its top bit in `keep` (harmless: the
// markers of every byte of a longer form set it anyway), which tells which
// bytes exist.  Index 1 (code point 0x40000000) stands for the low half of
// a surrogate pair, whose bytes the high half gives.
struct Utf8LaneTables {
  alignas(64) uint32_t offsets[32];
  alignas(64) uint32_t keep[32];
  alignas(64) uint32_t marks[32];
  constexpr Utf8LaneTables() : offsets{}, keep{}, marks{} {
    // By UTF-8 length (0: the low half of a pair, which gives no bytes).
    struct Form {
      uint32_t offsets, keep, marks;
    };
    constexpr Form kForms[] = {{0, 0, 0},
                               {0, 0x000000FF, 0},
                               {0x00000006, 0x0000BFBF, 0x000080C0},
                               {0x0000060C, 0x00BFBFBF, 0x008080E0},
                               {0x00060C12, 0xBFBFBFBF, 0x808080F0}};
    for (int lz = 0; lz < 32; ++lz) {
      const int bits = lz == 0 ? 0 : 32 - lz;
      int len = bits <= 7 ? 1 : bits <= 11 ? 2 : bits <= 16 ? 3 : 4;
      if (lz >= 1 && lz <= 10) len = 0;
      offsets[lz] = kForms[len].offsets;
      keep[lz] = kForms[len].keep;
      marks[lz] = kForms[len].marks;
    }
  }
};
constexpr Utf8LaneTables kUtf8Lanes;

struct Avx512Tables {
  __m512i offsets_lo, offsets_hi, keep_lo, keep_hi, marks_lo, marks_hi;
  __m512i odd_lane;  // 32 more on the offsets of odd lanes
};

// Room one general AVX-512 step needs: it stores 64 bytes twice, the
// second time at most 48 bytes on; and the characters it reads.
constexpr size_t kAvx512Room = 112;
constexpr size_t kAvx512Reach = 33;

// Sixteen characters whose code points `cp` the caller has made (pairs
// joined, unpaired surrogates replaced, low halves of pairs set to
// 0x40000000): writes their UTF-8 form at o (storing 64 bytes) and returns
// its end.
__attribute__((target(ZEL_AVX512_TEXT_TARGET), always_inline)) inline uint8_t* StoreUtf8Lanes(
    __m512i cp, const Avx512Tables& k, uint8_t* o) noexcept {
  const __m512i lz = _mm512_lzcnt_epi32(cp);
  const __m512i offsets = _mm512_or_si512(_mm512_permutex2var_epi32(k.offsets_lo, lz, k.offsets_hi), k.odd_lane);
  const __m512i keep = _mm512_permutex2var_epi32(k.keep_lo, lz, k.keep_hi);
  const __m512i marks = _mm512_permutex2var_epi32(k.marks_lo, lz, k.marks_hi);
  // (bits & keep) | marks
  const __m512i bytes = _mm512_ternarylogic_epi32(_mm512_multishift_epi64_epi8(offsets, cp), keep, marks, 0xEA);
  const __mmask64 used = _mm512_movepi8_mask(keep);
  _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(used, bytes));
  return o + __builtin_popcountll(used);
}

// Encodes p[i..i+32) whatever it holds (and p[i+32] when p[i+31] starts a
// pair; needs 33 characters from i on).  Advances i and returns the end of
// what was written.
__attribute__((target(ZEL_AVX512_TEXT_TARGET), always_inline)) inline uint8_t* EncodeStepAvx512(
    const char16_t* p, size_t& i, uint8_t* o, const Avx512Tables& k) noexcept {
  const __m512i c = _mm512_loadu_si512(p + i);
  const __m512i next = _mm512_loadu_si512(p + i + 1);
  const __m512i high6 = _mm512_set1_epi16(static_cast<short>(0xFC00));
  const __m512i c6 = _mm512_and_si512(c, high6);
  const __mmask32 lead = _mm512_cmpeq_epi16_mask(c6, _mm512_set1_epi16(static_cast<short>(0xD800)));
  const __mmask32 trail = _mm512_cmpeq_epi16_mask(c6, _mm512_set1_epi16(static_cast<short>(0xDC00)));
  const __mmask32 trail_next =
      _mm512_cmpeq_epi16_mask(_mm512_and_si512(next, high6), _mm512_set1_epi16(static_cast<short>(0xDC00)));
  // A lead followed by a trail is a pair; the trail gives no bytes itself,
  // and a pair started by the last character takes p[i+32] along.  A trail
  // in the first lane is never the second half of a pair: a step never
  // ends between the two.
  const __mmask32 pair = lead & trail_next;
  const __mmask32 second = static_cast<__mmask32>(pair << 1);
  const __mmask32 lone = (lead & ~pair) | (trail & ~second);
  // (lead << 10) + trail + 0x10000 - (0xD800 << 10) - 0xDC00
  const __m512i pair_bias = _mm512_set1_epi32(0x10000 - (0xD800 << 10) - 0xDC00);
  // The halves come from the registers already loaded (loading them
  // again as 256-bit words made one compiler rebuild them lane by lane).
  const __m512i w[2] = {_mm512_cvtepu16_epi32(_mm512_castsi512_si256(c)),
                        _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(c, 1))};
  const __m512i t[2] = {_mm512_cvtepu16_epi32(_mm512_castsi512_si256(next)),
                        _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(next, 1))};
  for (int half = 0; half < 2; ++half) {
    const auto kp = static_cast<__mmask16>(pair >> (16 * half));
    const auto ks = static_cast<__mmask16>(second >> (16 * half));
    const auto kl = static_cast<__mmask16>(lone >> (16 * half));
    __m512i cp =
        _mm512_mask_add_epi32(w[half], kp, _mm512_slli_epi32(w[half], 10), _mm512_add_epi32(t[half], pair_bias));
    cp = _mm512_mask_mov_epi32(cp, kl, _mm512_set1_epi32(0xFFFD));
    cp = _mm512_mask_mov_epi32(cp, ks, _mm512_set1_epi32(0x40000000));
    o = StoreUtf8Lanes(cp, k, o);
  }
  i += 32 + (pair >> 31);
  return o;
}

// Encodes 32 characters `c`, all below U+0800 (the usual case in Latin
// text), at o and returns the end of what it wrote (storing 64 bytes).
// Each 16-bit lane becomes its one or two UTF-8 bytes in order (an ASCII
// character itself; otherwise the lead 110xxxxx in the low byte and
// 10xxxxxx in the high one), and a compress keeps the bytes that exist.
// No branch for an all-ASCII stretch here: in such text it would go
// either way at random, and a miss costs more than the compress.
__attribute__((target(ZEL_AVX512_TEXT_TARGET), always_inline)) inline uint8_t* EncodeBelow800(
    __m512i c, uint8_t* o) noexcept {
  const __mmask32 wide = _mm512_test_epi16_mask(c, _mm512_set1_epi16(static_cast<short>(0xFF80)));
  // (c >> 6) | ((c << 8) & 0x3F00) | 0x80C0, for c < 0x800
  const __m512i two = _mm512_or_si512(
      _mm512_ternarylogic_epi32(_mm512_srli_epi16(c, 6), _mm512_slli_epi16(c, 8),
                                _mm512_set1_epi16(0x3F00), 0xF8),  // A | (B & C)
      _mm512_set1_epi16(static_cast<short>(0x80C0)));
  const __m512i bytes = _mm512_mask_mov_epi16(c, wide, two);
  // Every byte that exists has its top bit set once the low bytes of the
  // ASCII lanes get theirs.
  const __mmask64 used = _mm512_movepi8_mask(_mm512_or_si512(bytes, _mm512_set1_epi16(0x0080)));
  _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(used, bytes));
  return o + 32 + __builtin_popcount(wide);
}

// Encodes p[i..i+32) (and p[i+32] when a pair crosses the end; needs 33
// characters) and advances i past what it took.
__attribute__((target(ZEL_AVX512_TEXT_TARGET), always_inline)) inline uint8_t* EncodeStep32(
    const char16_t* p, size_t& i, uint8_t* o, const Avx512Tables& k) noexcept {
  const __m512i c = _mm512_loadu_si512(p + i);
  if (_mm512_test_epi16_mask(c, _mm512_set1_epi16(static_cast<short>(0xF800))) != 0) {
    return EncodeStepAvx512(p, i, o, k);
  }
  i += 32;
  return EncodeBelow800(c, o);
}

// Encodes from s[pos] while 33 characters are left and `room` allows;
// returns the bytes written and advances pos.  All-ASCII stretches are
// looked for 64 characters at a time, which in text with a non-ASCII
// character now and then is rarely so and predicted as such; then
// stretches of 64 below U+0800, and otherwise two general steps.  Not
// inlined: the compiler clears the upper halves of the vector registers on
// the way out, before the SHA extensions' legacy-encoded instructions run,
// which are slow otherwise.
__attribute__((target(ZEL_AVX512_TEXT_TARGET), noinline)) size_t EncodeUtf8Avx512(StringView s, size_t& pos,
                                                                                  uint8_t* out,
                                                                                  size_t room) noexcept {
  Avx512Tables k;
  k.offsets_lo = _mm512_load_si512(kUtf8Lanes.offsets);
  k.offsets_hi = _mm512_load_si512(kUtf8Lanes.offsets + 16);
  k.keep_lo = _mm512_load_si512(kUtf8Lanes.keep);
  k.keep_hi = _mm512_load_si512(kUtf8Lanes.keep + 16);
  k.marks_lo = _mm512_load_si512(kUtf8Lanes.marks);
  k.marks_hi = _mm512_load_si512(kUtf8Lanes.marks + 16);
  k.odd_lane = _mm512_set1_epi64(0x2020202000000000LL);
  const char16_t* const p = s.data();
  const size_t n = s.size();
  size_t i = pos;
  uint8_t* o = out;
  uint8_t* const end = out + room;
  while (n - i >= 64 + kAvx512Reach && static_cast<size_t>(end - o) >= 2 * kAvx512Room) {
    const __m512i c0 = _mm512_loadu_si512(p + i), c1 = _mm512_loadu_si512(p + i + 32);
    if (_mm512_test_epi16_mask(_mm512_or_si512(c0, c1), _mm512_set1_epi16(static_cast<short>(0xFF80))) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o), _mm512_cvtepi16_epi8(c0));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(o + 32), _mm512_cvtepi16_epi8(c1));
      o += 64;
      i += 64;
      continue;
    }
    // Decided for all 64 characters at once: in text with a three-byte
    // character or a pair now and then, a decision per 32 would go either
    // way about as often, and each miss costs more than a general step.
    if (_mm512_test_epi16_mask(_mm512_or_si512(c0, c1), _mm512_set1_epi16(static_cast<short>(0xF800))) == 0) {
      o = EncodeBelow800(c1, EncodeBelow800(c0, o));
      i += 64;
      continue;
    }
    o = EncodeStepAvx512(p, i, o, k);
    o = EncodeStepAvx512(p, i, o, k);
  }
  while (n - i >= kAvx512Reach && static_cast<size_t>(end - o) >= kAvx512Room) o = EncodeStep32(p, i, o, k);
  pos = i;
  return static_cast<size_t>(o - out);
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#endif  // x86

// Writes the UTF-8 form of s[pos..] to `out`, as much as `room` allows
// (at least four bytes); returns the bytes written and advances pos.  The
// scalar encoder only finishes the text's last characters: when a vector
// encoder stops for want of room the piece ends there, which costs less
// than running the scalar encoder over every piece's end.
size_t EncodeUtf8Piece(StringView s, size_t& pos, uint8_t* out, size_t room, Utf8Encoder encoder) noexcept {
  size_t written = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (encoder == Utf8Encoder::kAvx512) {
    written = EncodeUtf8Avx512(s, pos, out, room);
    if (s.size() - pos >= kAvx512Reach) return written;
  } else if (encoder == Utf8Encoder::kSsse3) {
    written = EncodeUtf8Ssse3(s, pos, out, room);
    if (s.size() - pos >= kSsse3Reach) return written;
  }
#endif
  size_t i = pos;
  uint8_t* o = out + written;
  while (i < s.size() && out + room - o >= 4) o = detail::WriteUtf8(o, detail::NextCodePoint(s, i));
  pos = i;
  return static_cast<size_t>(o - out);
}

}  // namespace

namespace ZEL_HIDDEN detail {

bool Utf8EncoderAvailable(Utf8Encoder encoder) noexcept {
  switch (encoder) {
    case Utf8Encoder::kScalar:
      return true;
#if defined(__x86_64__) || defined(__i386__)
    case Utf8Encoder::kSsse3:
      return CpuHasSsse3();
    case Utf8Encoder::kAvx512:
      return CpuHasAvx512Vbmi2();
#else
    default:
      return false;
#endif
  }
  return false;
}

TSHACode Sha1FromUtf16(StringView s, Utf8Encoder encoder) noexcept {
  constexpr size_t kPiece = 4096;
  alignas(64) uint8_t buf[kPiece];
  TSHA1 h;
  for (size_t i = 0; i < s.size();) h.Update(buf, EncodeUtf8Piece(s, i, buf, kPiece, encoder));
  return h.Final();
}

}  // namespace detail

TSHACode SHA1FromString(StringView S) {
  // The processor is asked once; the portable switch on every call.
  static const Utf8Encoder widest = [] {
    for (Utf8Encoder e : {Utf8Encoder::kAvx512, Utf8Encoder::kSsse3})
      if (detail::Utf8EncoderAvailable(e)) return e;
    return Utf8Encoder::kScalar;
  }();
  return detail::Sha1FromUtf16(S, detail::PortableKernelsForced() ? Utf8Encoder::kScalar : widest);
}

}  // namespace zel
