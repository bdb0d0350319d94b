// zel/dstruct/internal/cpufeatures.h — which processor instructions the checksum
// kernels may use.
//
// CRC-32 over buffers uses the carry-less multiply instructions (PCLMULQDQ,
// and VPCLMULQDQ on 512-bit registers where AVX-512 is there and enabled)
// and SHA-1 the SHA extensions when the processor has them; the processor
// is asked once, on first use.  Without them, portable table and scalar
// code gives the same results.
//
// `zel::detail::ForcePortableKernels(true)` makes every checksum (and the
// UTF-8 encoding in front of SHA1FromString) take the portable path from
// then on, whatever the processor offers, so that tests
// (and anyone measuring) can exercise both paths on one machine:
//
//   zel::detail::ForcePortableKernels(true);
//   auto a = zel::CRC32ofBuffer(data, n);    // slicing tables
//   zel::detail::ForcePortableKernels(false);
//   auto b = zel::CRC32ofBuffer(data, n);    // PCLMULQDQ where present
//
// The switch is process-wide and not meant for use while other threads
// compute checksums (a checksum started on one path finishes on it).
#ifndef ZEL_DSTRUCT_INTERNAL_CPUFEATURES_H_
#define ZEL_DSTRUCT_INTERNAL_CPUFEATURES_H_

#include "zel/platform/export.h"

// Exported: the tests switch and compare the paths, and `zel tour` names
// the kernels in use.
namespace zel::detail {

// What the processor offers (asked once).
bool CpuHasClmul() noexcept;
bool CpuHasVpclmul() noexcept;  // with AVX-512 F, VL and BW, saved by the system
bool CpuHasShaNi() noexcept;
// AVX-512 F, BW, VL, CD, VBMI and VBMI2 (and POPCNT), saved by the system:
// what the 512-bit UTF-8 encoder in front of SHA1FromString needs.
bool CpuHasAvx512Vbmi2() noexcept;

// Whether the kernels use the instructions now: the processor has them and
// the portable path is not forced.
bool UseClmul() noexcept;
bool UseVpclmul() noexcept;
bool UseShaNi() noexcept;

void ForcePortableKernels(bool force) noexcept;
bool PortableKernelsForced() noexcept;

}  // namespace zel::detail

#endif  // ZEL_DSTRUCT_INTERNAL_CPUFEATURES_H_
