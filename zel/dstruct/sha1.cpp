#include "zel/dstruct/sha1.h"

#include <cstring>
#include <memory>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/internal/kernels.h"
#include "zel/platform/export.h"
#include "zel/platform/filestream.h"
#include "zel/stringl/numscan.h"

namespace ZEL_EXPORT zel {
namespace {

// Stores zeros the optimiser may not drop although the memory is dead.
void Wipe(void* p, size_t n) noexcept {
  std::memset(p, 0, n);
  asm volatile("" : : "r"(p) : "memory");
}

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t LoadBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void Compress(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept {
  if (detail::UseShaNi())
    detail::Sha1BlocksShaNi(h, data, blocks);
  else
    detail::Sha1BlocksPortable(h, data, blocks);
}

}  // namespace

namespace ZEL_HIDDEN detail {

void Sha1BlocksPortable(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept {
  uint32_t w[16];
  for (; blocks > 0; --blocks, data += 64) {
    for (int i = 0; i < 16; ++i) w[i] = LoadBE32(data + 4 * i);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
      uint32_t wi;
      if (i < 16) {
        wi = w[i];
      } else {
        wi = Rol(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
        w[i & 15] = wi;
      }
      uint32_t f, k;
      if (i < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999;
      } else if (i < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
      } else if (i < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
      }
      const uint32_t t = Rol(a, 5) + f + e + k + wi;
      e = d;
      d = c;
      c = Rol(b, 30);
      b = a;
      a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
  }
  Wipe(w, sizeof w);
}

}  // namespace detail

void TSHA1::Restart() noexcept {
  h_[0] = 0x67452301;
  h_[1] = 0xEFCDAB89;
  h_[2] = 0x98BADCFE;
  h_[3] = 0x10325476;
  h_[4] = 0xC3D2E1F0;
  bits_ = 0;
  used_ = 0;
  std::memset(block_, 0, sizeof block_);
}

TSHA1::~TSHA1() { Wipe(this, sizeof *this); }

void TSHA1::Update(const void* data, size_t n) noexcept {
  // An empty update may come with a null pointer, which memcpy must never
  // be given (not even with a zero count).
  if (n == 0) return;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bits_ += static_cast<uint64_t>(n) * 8;  // modulo 2^64, as the standard says
  if (used_ > 0) {
    const size_t take = n < 64 - used_ ? n : 64 - used_;
    std::memcpy(block_ + used_, p, take);
    used_ += take;
    p += take;
    n -= take;
    if (used_ < 64) return;
    Compress(h_, block_, 1);
    used_ = 0;
  }
  if (n >= 64) {
    Compress(h_, p, n / 64);
    p += n / 64 * 64;
    n %= 64;
  }
  if (n > 0) {
    std::memcpy(block_, p, n);
    used_ = n;
  }
}

TSHACode TSHA1::Final() noexcept {
  const uint64_t bits = bits_;
  block_[used_++] = 0x80;
  if (used_ > 56) {  // no room for the count: it goes in an extra block
    std::memset(block_ + used_, 0, 64 - used_);
    Compress(h_, block_, 1);
    used_ = 0;
  }
  std::memset(block_ + used_, 0, 56 - used_);
  for (int i = 0; i < 8; ++i) block_[56 + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
  Compress(h_, block_, 1);
  TSHACode out;
  for (int i = 0; i < 5; ++i) {
    out[4 * i] = static_cast<uint8_t>(h_[i] >> 24);
    out[4 * i + 1] = static_cast<uint8_t>(h_[i] >> 16);
    out[4 * i + 2] = static_cast<uint8_t>(h_[i] >> 8);
    out[4 * i + 3] = static_cast<uint8_t>(h_[i]);
  }
  Wipe(this, sizeof *this);
  Restart();
  return out;
}

namespace {

// Writes the UTF-8 form of one character from s[i] (two for a surrogate
// pair) to `o`, as ToUtf8 does: an unpaired surrogate as U+FFFD.  Advances
// i and returns the end of what was written (at most four bytes).
inline uint8_t* EncodeUtf8Char(StringView s, size_t& i, uint8_t* o) noexcept {
  char32_t cp = s[i++];
  if (cp < 0x80) {
    *o++ = static_cast<uint8_t>(cp);
    return o;
  }
  if (cp >= 0xD800 && cp <= 0xDFFF) {
    if (cp <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i++] - 0xDC00);
    } else {
      cp = 0xFFFD;
    }
  }
  if (cp < 0x800) {
    *o++ = static_cast<uint8_t>(0xC0 | (cp >> 6));
  } else if (cp < 0x10000) {
    *o++ = static_cast<uint8_t>(0xE0 | (cp >> 12));
    *o++ = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
  } else {
    *o++ = static_cast<uint8_t>(0xF0 | (cp >> 18));
    *o++ = static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F));
    *o++ = static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F));
  }
  *o++ = static_cast<uint8_t>(0x80 | (cp & 0x3F));
  return o;
}

// Room the vector step needs: eight characters of up to three bytes, and
// its 16-byte stores.
constexpr size_t kVectorRoom = 32;

#if defined(__x86_64__) || defined(__i386__)
#define ZEL_SSSE3_TARGET __attribute__((target("ssse3")))

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
// surrogate goes through EncodeUtf8Char up to and past it.
ZEL_SSSE3_TARGET size_t EncodeUtf8Vector(StringView s, size_t& pos, uint8_t* out, size_t room) noexcept {
  size_t i = pos;  // a local, which the compiler keeps in a register
  uint8_t* o = out;
  uint8_t* const end = out + room;
  const size_t n = s.size();
  const __m128i zero = _mm_setzero_si128();
  while (i + 8 <= n && static_cast<size_t>(end - o) >= kVectorRoom) {
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
      while (i <= stop) o = EncodeUtf8Char(s, i, o);
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
#endif

// Writes the UTF-8 form of s[i..] to `out` until the input ends or fewer
// than four bytes of room are left; returns the bytes written and advances
// i.
size_t EncodeUtf8Piece(StringView s, size_t& pos, uint8_t* out, size_t room) noexcept {
  size_t written = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (CpuHasSsse3() && !detail::PortableKernelsForced()) written = EncodeUtf8Vector(s, pos, out, room);
#endif
  size_t i = pos;
  uint8_t* o = out + written;
  while (i < s.size() && out + room - o >= 4) o = EncodeUtf8Char(s, i, o);
  pos = i;
  return static_cast<size_t>(o - out);
}

}  // namespace

TSHACode SHA1FromString(StringView S) {
  // The UTF-8 form passes through one small buffer, a piece at a time,
  // instead of being built whole.
  constexpr size_t kPiece = 4096;
  uint8_t buf[kPiece];
  TSHA1 h;
  for (size_t i = 0; i < S.size();) h.Update(buf, EncodeUtf8Piece(S, i, buf, kPiece));
  return h.Final();
}

TSHACode SHA1FromStream(TStream& Stream) {
  // Blocks larger than the 1 KiB a minimal reader would take keep the
  // per-call cost of virtual reads small; memory stays flat either way.
  constexpr int64_t kChunk = 16 * 1024;
  const std::unique_ptr<uint8_t[]> buf(new uint8_t[kChunk]);
  TSHA1 h;
  for (;;) {
    const int64_t got = Stream.Read(buf.get(), kChunk);
    if (got <= 0) break;
    h.Update(buf.get(), static_cast<size_t>(got));
  }
  return h.Final();
}

TSHACode SHA1FromFile(const String& FName) {
  TFileStream in(FName, fmOpenRead | fmShareDenyWrite);
  return SHA1FromStream(in);
}

String SHA1DigestToHex(const TSHACode& Digest) {
  String out;
  out.reserve(40);
  for (uint8_t b : Digest) out += HexDigits(b, 2);
  return out;
}

}  // namespace zel
