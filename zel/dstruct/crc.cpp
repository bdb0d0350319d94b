#include "zel/dstruct/crc.h"

#include <cstring>
#include <vector>

#include "zel/dstruct/internal/cpufeatures.h"
#include "zel/dstruct/internal/kernels.h"
#include "zel/platform/export.h"
#include "zel/platform/filestream.h"

namespace ZEL_EXPORT zel {
namespace {

// Tables[k][i]: the CRC of byte i followed by k zero bytes, so eight bytes
// are folded in with eight independent lookups.
struct Crc16Tables {
  uint16_t t[8][256];
  constexpr Crc16Tables() : t{} {
    for (int i = 0; i < 256; ++i) {
      uint16_t c = static_cast<uint16_t>(i << 8);
      for (int bit = 0; bit < 8; ++bit)
        c = static_cast<uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : c << 1);
      t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
      for (int i = 0; i < 256; ++i)
        t[k][i] = static_cast<uint16_t>((t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 8]);
  }
};

struct Crc32Tables {
  uint32_t t[8][256];
  constexpr Crc32Tables() : t{} {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      t[0][i] = c;
    }
    for (int k = 1; k < 8; ++k)
      for (int i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
};

constexpr Crc16Tables kCrc16;
constexpr Crc32Tables kCrc32;
static_assert(kCrc16.t[0][1] == 0x1021 && kCrc16.t[0][255] == 0x1EF0);
static_assert(kCrc32.t[0][1] == 0x77073096u);

// Count cut to the vector: never read past its end.
size_t UsableCount(const TBytes& buffer, int num_bytes) noexcept {
  if (num_bytes <= 0) return 0;
  return static_cast<size_t>(num_bytes) < buffer.size() ? static_cast<size_t>(num_bytes)
                                                        : buffer.size();
}

}  // namespace

uint16_t CalcNextCRC16(uint8_t b, uint16_t crc) noexcept {
  return static_cast<uint16_t>(kCrc16.t[0][((crc >> 8) ^ b) & 0xFF] ^ (crc << 8));
}

uint16_t UpdateCRC16(uint16_t crc, std::span<const uint8_t> data) noexcept {
  const uint8_t* p = data.data();
  size_t n = data.size();
  const auto& t = kCrc16.t;
  while (n >= 8) {
    crc = static_cast<uint16_t>(t[7][(crc >> 8) ^ p[0]] ^ t[6][(crc & 0xFF) ^ p[1]] ^ t[5][p[2]] ^
                                t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
    p += 8;
    n -= 8;
  }
  while (n-- > 0) crc = CalcNextCRC16(*p++, crc);
  return crc;
}

uint16_t CRC16ofBuffer(const TBytes& Buffer, int NumBytes, TCRC16Mode Mode) noexcept {
  const uint16_t start = Mode == crcCCITT ? 0xFFFF : 0x0000;
  return UpdateCRC16(start, {Buffer.data(), UsableCount(Buffer, NumBytes)});
}

int32_t CalcNextCRC32(uint8_t b, int32_t crc) noexcept {
  const uint32_t s = static_cast<uint32_t>(crc);
  return static_cast<int32_t>(kCrc32.t[0][(s ^ b) & 0xFF] ^ (s >> 8));
}

namespace ZEL_HIDDEN detail {

uint32_t Crc32Portable(uint32_t s, const uint8_t* p, size_t n) noexcept {
  const auto& t = kCrc32.t;
  while (n >= 8) {
    uint32_t lo, hi;
    std::memcpy(&lo, p, 4);
    std::memcpy(&hi, p + 4, 4);
    // Little-endian loads: byte 0 of the block is the low byte of `lo`.
    lo ^= s;
    s = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
        t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    p += 8;
    n -= 8;
  }
  while (n-- > 0) s = t[0][(s ^ *p++) & 0xFF] ^ (s >> 8);
  return s;
}

}  // namespace detail

uint32_t UpdateCRC32(uint32_t state, std::span<const uint8_t> data) noexcept {
  if (data.size() >= 256 && detail::UseVpclmul())
    return detail::Crc32Vpclmul(state, data.data(), data.size());
  if (data.size() >= 64 && detail::UseClmul())
    return detail::Crc32Clmul(state, data.data(), data.size());
  return detail::Crc32Portable(state, data.data(), data.size());
}

int32_t CRC32ofBuffer(const TBytes& Buffer, int NumBytes) noexcept {
  return static_cast<int32_t>(~UpdateCRC32(0xFFFFFFFFu, {Buffer.data(), UsableCount(Buffer, NumBytes)}));
}

int32_t CalcCRC32ofFile(const String& FName) noexcept {
  // The file is opened read-only for this call alone: no process-wide open
  // mode is changed, so other threads opening files are not affected.
  try {
    TFileStream in(FName, fmOpenRead | fmShareDenyWrite);
    uint32_t state = 0xFFFFFFFFu;
    std::vector<uint8_t> block(64 * 1024);
    for (;;) {
      const int64_t got = in.Read(block.data(), static_cast<int64_t>(block.size()));
      if (got <= 0) break;
      state = UpdateCRC32(state, {block.data(), static_cast<size_t>(got)});
    }
    return static_cast<int32_t>(~state);
  } catch (...) {
    return 0;  // open or read failure (and out of memory): 0, never an exception
  }
}

}  // namespace zel
