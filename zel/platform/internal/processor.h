// zel/platform/internal/processor.h — the processor and scheduler services
// the library stands on: the identification instruction (CPUID), the
// time-stamp counter, a raw monotonic clock, the logical processor count,
// and a guard that holds the calling thread on one processor at the highest
// ordinary priority the host grants.
//
// Every execution of CPUID in the library goes through `ExecuteCpuid`, so
// the checksum kernels' feature probe and the cpuid unit read the same
// instruction in one place:
//
//   if (zel::detail::CpuidAvailable()) {
//     zel::detail::CpuidRegs r = zel::detail::ExecuteCpuid(1);
//     bool sse2 = (r.edx >> 26) & 1;
//   }
//
// On a processor without CPUID (not x86) `CpuidAvailable` is false and
// `ExecuteCpuid` returns zeros; `ReadTimeStampCounter` returns 0 there.
#ifndef ZEL_PLATFORM_INTERNAL_PROCESSOR_H_
#define ZEL_PLATFORM_INTERNAL_PROCESSOR_H_

#include "zel/platform/export.h"

#include <cstdint>

namespace zel::detail {

struct CpuidRegs {
  uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// True when the identification flag (bit 21) of the flags register can be
// flipped, the processor's own sign that it has CPUID.
bool CpuidAvailable() noexcept;

// One execution of CPUID with `leaf` in EAX and `subleaf` in ECX.  The
// caller checks the leaf against the highest one (EAX of leaf 0 or of
// 0x80000000); the processor answers out-of-range leaves with data of its
// own choosing.
CpuidRegs ExecuteCpuid(uint32_t leaf, uint32_t subleaf = 0) noexcept;

// The time-stamp counter (RDTSC).
uint64_t ReadTimeStampCounter() noexcept;

// CLOCK_MONOTONIC_RAW in nanoseconds: not slewed by time adjustment, so
// it counts the same seconds the crystal does.
int64_t MonotonicRawNanoseconds() noexcept;

// The number of processors online, as the kernel reports it (not limited
// by this thread's affinity mask); at least 1.
int OnlineProcessorCount() noexcept;

// While it lives, the calling thread runs on the processor it was on when
// the guard was made, with the lowest nice value the host permits (never a
// real-time class, which a busy loop could use to starve the machine).
// The destructor restores the nice value and the affinity mask.  Either
// change may be refused by the host; the guard then leaves that setting
// alone and says so through `Pinned()` / `PriorityRaised()`.
class MeasurementGuard {
 public:
  // The affinity mask to restore, in the host's own form (a cpu_set_t on
  // POSIX hosts, a DWORD_PTR on Windows).
  using SavedMask = unsigned char[128];

  MeasurementGuard() noexcept;
  ~MeasurementGuard();
  MeasurementGuard(const MeasurementGuard&) = delete;
  MeasurementGuard& operator=(const MeasurementGuard&) = delete;

  bool Pinned() const noexcept { return pinned_; }
  bool PriorityRaised() const noexcept { return raised_; }
  int OldNice() const noexcept { return old_nice_; }
  int NewNice() const noexcept { return new_nice_; }

 private:
  alignas(8) SavedMask old_mask_{};
  bool pinned_ = false;
  bool raised_ = false;
  int old_nice_ = 0;
  int new_nice_ = 0;
};

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_PROCESSOR_H_
