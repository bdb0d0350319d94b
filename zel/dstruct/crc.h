// zel/dstruct/crc.h — CRC-16 (XMODEM/ZMODEM and CCITT-FALSE) and the
// standard CRC-32 (as zlib and PNG compute it).
//
//   zel::TBytes data = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
//   zel::CRC16ofBuffer(data, 9, zel::crcZModem);   // 0x31C3
//   zel::CRC16ofBuffer(data, 9, zel::crcCCITT);    // 0x29B1
//   zel::CRC32ofBuffer(data, 9);                   // 0xCBF43926 (as int32_t)
//   zel::CalcCRC32ofFile(u"data.bin");             // 0 when unreadable
//
// The same of bytes held anywhere, with no count to get wrong and the
// CRC-32 unsigned:
//
//   zel::CRC32("123456789");                       // 0xCBF43926u
//   zel::CRC16("123456789", zel::crcCCITT);         // 0x29B1
//   std::string blob = ReadSomething();
//   zel::CRC32(std::as_bytes(std::span(blob)));     // a span of std::byte
//   zel::CRC32(data);                               // a TBytes / uint8_t span
//
// A `std::string_view` is taken as bytes as they are (UTF-8 text gives the
// CRC of its UTF-8 bytes); the empty input gives the initial state as the
// buffer functions do (0x0000 / 0xFFFF for CRC-16, 0 for CRC-32).
//
// The step functions advance a caller-held state by one byte.  CRC-16
// starts at 0x0000 (ZMODEM) or 0xFFFF (CCITT) and has no final inversion;
// CRC-32 starts at 0xFFFFFFFF and the result is the state inverted:
//
//   int32_t s = -1;
//   for (uint8_t b : data) s = zel::CalcNextCRC32(b, s);
//   s = ~s;                                        // == CRC32ofBuffer(data, 9)
//
// CRC-32 results are the 32-bit pattern as `int32_t`; read them as
// `uint32_t` for the usual unsigned value.
//
// The buffer functions never read past the vector they are given: a count
// beyond its size is cut to the size, and a count <= 0 gives the initial
// state (0x0000 / 0xFFFF for CRC-16, 0 for CRC-32).
//
// Speed: CRC-32 over buffers and files folds 64 bytes at a time with the
// carry-less multiply instructions where the processor has them (see
// cpufeatures.h), and otherwise uses slicing-by-8 tables; CRC-16 uses
// slicing-by-8 tables.  `UpdateCRC16` and `UpdateCRC32` give that speed to
// callers who feed data in pieces (the state forms: no initial value and no
// inversion applied).
#ifndef ZEL_DSTRUCT_CRC_H_
#define ZEL_DSTRUCT_CRC_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// The CRC-16 variant: its start value, 0x0000 for ZMODEM (XMODEM), 0xFFFF
// for CCITT (CCITT-FALSE); both use polynomial 0x1021 and no final inversion.
enum TCRC16Mode : uint8_t { crcZModem, crcCCITT };

// One CRC-16 step (polynomial 0x1021, most significant bit first).
uint16_t CalcNextCRC16(uint8_t b, uint16_t crc) noexcept;
// CRC-16 of the first NumBytes bytes of Buffer.
uint16_t CRC16ofBuffer(const TBytes& Buffer, int NumBytes, TCRC16Mode Mode) noexcept;
// Advances a CRC-16 state over `data` (same as CalcNextCRC16 byte by byte).
uint16_t UpdateCRC16(uint16_t crc, std::span<const uint8_t> data) noexcept;

// One CRC-32 step (reflected polynomial 0xEDB88320), no inversions.
int32_t CalcNextCRC32(uint8_t b, int32_t crc) noexcept;
// Standard CRC-32 of the first NumBytes bytes of Buffer.
int32_t CRC32ofBuffer(const TBytes& Buffer, int NumBytes) noexcept;
// Advances a CRC-32 state over `data` (same as CalcNextCRC32 byte by byte).
uint32_t UpdateCRC32(uint32_t state, std::span<const uint8_t> data) noexcept;
// Standard CRC-32 of a file's content, read in blocks; 0 when the file
// cannot be opened or read.  Never raises.
int32_t CalcCRC32ofFile(const String& FName) noexcept;

// CRC-16 and standard CRC-32 of whole byte sequences (see the top of this
// file); the same values as the buffer functions over the same bytes.
inline uint16_t CRC16(std::span<const uint8_t> Bytes, TCRC16Mode Mode = crcZModem) noexcept {
  return UpdateCRC16(Mode == crcCCITT ? 0xFFFF : 0x0000, Bytes);
}
inline uint16_t CRC16(std::span<const std::byte> Bytes, TCRC16Mode Mode = crcZModem) noexcept {
  return CRC16(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()), Mode);
}
inline uint16_t CRC16(std::string_view Bytes, TCRC16Mode Mode = crcZModem) noexcept {
  return CRC16(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()), Mode);
}
inline uint32_t CRC32(std::span<const uint8_t> Bytes) noexcept {
  return ~UpdateCRC32(0xFFFFFFFFu, Bytes);
}
inline uint32_t CRC32(std::span<const std::byte> Bytes) noexcept {
  return CRC32(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()));
}
inline uint32_t CRC32(std::string_view Bytes) noexcept {
  return CRC32(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size()));
}


}  // namespace zel

#endif  // ZEL_DSTRUCT_CRC_H_
