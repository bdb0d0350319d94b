// zel/dstruct/internal/kernels.h — internal: the block kernels behind CRC-32
// and SHA-1.  Exported for the tests that compare the accelerated kernels
// with the portable ones (see cpufeatures.h for when each may run).
#ifndef ZEL_DSTRUCT_INTERNAL_KERNELS_H_
#define ZEL_DSTRUCT_INTERNAL_KERNELS_H_

#include <cstddef>
#include <cstdint>

#include "zel/platform/export.h"

namespace zel::detail {

// The kernels behind UpdateCRC32, for tests and benchmarks.  The CLMUL one
// may only be called when CpuHasClmul() is true, the 512-bit one only when
// CpuHasVpclmul() is.
uint32_t Crc32Portable(uint32_t state, const uint8_t* data, size_t n) noexcept;
uint32_t Crc32Clmul(uint32_t state, const uint8_t* data, size_t n) noexcept;
uint32_t Crc32Vpclmul(uint32_t state, const uint8_t* data, size_t n) noexcept;

// Compress `blocks` 64-byte blocks into the chaining words `h`.  The SHA-NI
// kernel may only be called when CpuHasShaNi() is true.
void Sha1BlocksPortable(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept;
void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data, size_t blocks) noexcept;

}  // namespace zel::detail

#endif  // ZEL_DSTRUCT_INTERNAL_KERNELS_H_
