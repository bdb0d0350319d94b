#include "zel/dstruct/sha1.h"

#include <cstring>
#include <memory>

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
